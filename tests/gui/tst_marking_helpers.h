#pragma once

// Helpers shared by the GUI tests of the picture, answer, marking and help windows.

#include "gui/ProgramFixture.h"

#include <QApplication>
#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

// The pointer moving over the middle of a widget, with the given keys held and no button down.
inline void moveOver(QWidget* widget, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const QPointF pos = QRectF(widget->rect()).center();
    QMouseEvent event(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton, Qt::NoButton, modifiers);
    QApplication::sendEvent(widget, &event);
}

// A small BMP that the picture window can show.
inline QByteArray bitmapBytes(const QColor& color, int width = 320, int height = 403) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

// Runs action once the next modal dialog is up (inside its exec()).
inline void whenModal(std::function<void(QWidget*)> action) {
    QTimer::singleShot(0, [action] { action(QApplication::activeModalWidget()); });
}

// Types text as key presses, accented letters included; "\n" presses Enter.
inline void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        if (c == QLatin1Char('\n'))
            QTest::keyClick(widget, Qt::Key_Return);
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}
