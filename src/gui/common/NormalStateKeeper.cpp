#include "gui/common/NormalStateKeeper.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

NormalStateKeeper::NormalStateKeeper(QWidget* mainWindow) : QObject(mainWindow), m_main(mainWindow) {
    qApp->installEventFilter(this);
}

bool NormalStateKeeper::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::WindowStateChange && watched->isWidgetType()) {
        auto* window = static_cast<QWidget*>(watched);
        if (window->isWindow() && window != m_main &&
            (window->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized))) {
            // Undone once the window manager has finished with its own change.
            QPointer<QWidget> guard(window);
            QTimer::singleShot(0, this, [guard] {
                if (guard) {
                    guard->setWindowState(Qt::WindowNoState);
                    guard->show();
                }
            });
        }
    }
    return QObject::eventFilter(watched, event);
}
