#include "gui/common/ScreenFit.h"

#include <QApplication>
#include <QPointer>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace {

bool isDialog(const QObject* object) {
    if (!object->isWidgetType())
        return false;
    const auto* widget = static_cast<const QWidget*>(object);
    return widget->isWindow() && widget->windowType() == Qt::Dialog;
}

// The window manager frames a window a moment after it is shown; the frame counts too.
void fitSoon(QWidget* window) {
    QPointer<QWidget> guarded(window);
    for (int delay : {0, 150, 500}) {
        QTimer::singleShot(delay, window, [guarded] {
            if (guarded && guarded->isVisible())
                ScreenFit::fit(guarded);
        });
    }
}

} // namespace

ScreenFit::ScreenFit(QObject* parent) : QObject(parent) {
    qApp->installEventFilter(this);
}

QRect ScreenFit::fitted(const QRect& frame, const QRect& area, const QSize& minimum) {
    const int width = std::max(std::min(frame.width(), area.width()), minimum.width());
    const int height = std::max(std::min(frame.height(), area.height()), minimum.height());
    const int left = std::max(area.left(), std::min(frame.left(), area.left() + area.width() - width));
    const int top = std::max(area.top(), std::min(frame.top(), area.top() + area.height() - height));
    return QRect(left, top, width, height);
}

void ScreenFit::fit(QWidget* window) {
    const QRect frame = window->frameGeometry();
    const QScreen* screen = QGuiApplication::screenAt(frame.center());
    if (!screen)
        screen = window->screen();
    if (!screen)
        return;
    const QRect inner = window->geometry();
    const QSize border = frame.size() - inner.size();
    const QRect target = fitted(frame, screen->availableGeometry(), window->minimumSize() + border);
    if (target == frame)
        return;
    if (target.size() != frame.size())
        window->resize(target.size() - border);
    window->move(target.topLeft());
}

bool ScreenFit::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type == QEvent::Show || type == QEvent::Resize) && isDialog(watched)) {
        auto* window = static_cast<QWidget*>(watched);
        if (type == QEvent::Show) {
            fitSoon(window);
        } else {
            const auto* resize = static_cast<QResizeEvent*>(event);
            const QSize old = resize->oldSize();
            if (window->isVisible() && old.isValid() &&
                (resize->size().width() > old.width() || resize->size().height() > old.height()))
                fitSoon(window);
        }
    }
    return QObject::eventFilter(watched, event);
}
