#include "gui/common/KeyboardReturn.h"

#include "gui/common/Widgets.h"

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QTimer>

namespace {

QWidget* windowOf(QObject* object) {
    if (!object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    return widget->isWindow() ? widget : nullptr;
}

bool isModal(const QWidget* window) {
    return window->windowModality() != Qt::NonModal || window->testAttribute(Qt::WA_ShowModal);
}

// A window the examiner closes to go back to work: a message, a modal dialog, or one of the
// program's own dialogs (the archive, the protocol window) shown beside the tool windows.
bool isDialog(const QWidget* window) {
    return isModal(window) || window->windowType() == Qt::Dialog;
}

bool isOrdinary(const QWidget* window) {
    const Qt::WindowType type = window->windowType();
    return type != Qt::Popup && type != Qt::ToolTip && type != Qt::SplashScreen && type != Qt::Desktop;
}

} // namespace

KeyboardReturn::KeyboardReturn(QObject* parent) : QObject(parent) {
    qApp->installEventFilter(this);
}

bool KeyboardReturn::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::Show && type != QEvent::Hide && type != QEvent::WindowActivate)
        return QObject::eventFilter(watched, event);
    QWidget* window = windowOf(watched);
    if (!window || !isOrdinary(window))
        return QObject::eventFilter(watched, event);
    if (type == QEvent::Show && isDialog(window))
        remember(window);
    else if (type == QEvent::Hide)
        release(window);
    else if (type == QEvent::WindowActivate)
        noteActive(window);
    return QObject::eventFilter(watched, event);
}

void KeyboardReturn::release(QWidget* window) {
    for (qsizetype i = m_holders.size() - 1; i >= 0; --i) {
        if (m_holders.at(i).dialog != window)
            continue;
        const Holder holder = m_holders.takeAt(i);
        // A window left open beside the others gives nothing back when the examiner has gone on
        // elsewhere. (It has lost the keyboard by now; it was the last to have it.) Once the
        // closing has run its course, or the window manager's choice would win.
        if (isModal(window) || m_lastActive == window)
            QTimer::singleShot(0, this, [this, holder] { giveBack(holder); });
        return;
    }
}

void KeyboardReturn::noteActive(QWidget* window) {
    m_lastActive = window;
    if (isModal(window) || qobject_cast<QMainWindow*>(window))
        return;
    m_worked.removeAll(window);
    m_worked.removeAll(nullptr);
    m_worked.append(window);
}

void KeyboardReturn::remember(QWidget* dialog) {
    for (const Holder& holder : m_holders) {
        if (holder.dialog == dialog)
            return;
    }
    QWidget* active = QApplication::activeWindow();
    if (active == dialog)
        active = nullptr;
    m_holders.append({dialog, active, active ? active->focusWidget() : nullptr});
}

QWidget* KeyboardReturn::target(const Holder& holder) const {
    QWidget* window = holder.window;
    if (window && window->isVisible() && !qobject_cast<QMainWindow*>(window))
        return window;
    for (qsizetype i = m_worked.size() - 1; i >= 0; --i) {
        QWidget* worked = m_worked.at(i);
        if (worked && worked->isVisible())
            return worked;
    }
    return window && window->isVisible() ? window : nullptr;
}

QWidget* KeyboardReturn::returnWindow() const {
    return m_holders.isEmpty() ? nullptr : target(m_holders.last());
}

void KeyboardReturn::giveBack(const Holder& holder) {
    QWidget* window = target(holder);
    // Another dialog came up meanwhile: it has the keyboard, and gives it back when it closes.
    const QWidget* modal = QApplication::activeModalWidget();
    if (!window || (modal && modal != window))
        return;
    Widgets::activate(window);
    QWidget* field = holder.window == window ? holder.field.data() : window->focusWidget();
    if (field && field->isVisible() && field->window() == window)
        field->setFocus(Qt::OtherFocusReason);
}
