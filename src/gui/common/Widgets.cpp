#include "gui/common/Widgets.h"

#include <QApplication>
#include <QEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextDocument>
#include <QWindow>

QFont Widgets::font(const QString& family, int pixelSize) {
    QFont f;
    QStringList families{family};
    if (family == QLatin1String("Arial"))
        families << QStringLiteral("Liberation Sans");
    else if (family == QLatin1String("Courier New"))
        families << QStringLiteral("Liberation Mono");
    f.setFamilies(families);
    f.setPixelSize(pixelSize);
    return f;
}

QPlainTextEdit* Widgets::memo(QWidget* parent, const QString& objectName, const QFont& font, const QColor& text,
                              const QColor& background) {
    auto* edit = new QPlainTextEdit(parent);
    edit->setObjectName(objectName);
    edit->setFont(font);
    QPalette p = edit->palette();
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Base, background);
    edit->setPalette(p);
    return edit;
}

QString Widgets::memoText(const QPlainTextEdit* edit) {
    QString text = edit->document()->toRawText();
    for (QChar& c : text) {
        switch (c.unicode()) {
        case 0xfdd0: // frame markers
        case 0xfdd1:
        case QChar::ParagraphSeparator:
        case QChar::LineSeparator:
            c = QLatin1Char('\n');
            break;
        default:
            break;
        }
    }
    return text;
}

void Widgets::scrollLikeTheWheel(QPlainTextEdit* edit, int angleDelta) {
    QScrollBar* bar = edit->verticalScrollBar();
    bar->setValue(bar->value() - angleDelta * QApplication::wheelScrollLines() / 120);
}

void Widgets::activate(QWidget* window) {
    if (QWindow* handle = window->windowHandle(); handle && window->isVisible())
        handle->requestActivate();
    else
        window->activateWindow();
}

QPushButton* Widgets::makeButton(const QString& text, const QString& objectName, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    return button;
}

bool OwnActivation::counts(const QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate) {
        m_deactivatedByOtherProgram = QApplication::activeWindow() == nullptr;
        return false;
    }
    if (event->type() != QEvent::WindowActivate)
        return false;
    const bool own = !m_deactivatedByOtherProgram;
    m_deactivatedByOtherProgram = false;
    return own;
}
