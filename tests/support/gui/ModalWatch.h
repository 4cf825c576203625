#pragma once

// Shared by the shell's GUI tests: acting on a modal window once its own event loop runs.

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

// While it lives, calls `act` once, as soon as `dialog` is the active modal window (its exec()
// has started). `seen` tells whether that happened. Watching ends with the object, so a dialog
// that never came cannot be acted on by a later step.
class ModalWatch {
public:
    ModalWatch(QWidget* dialog, std::function<void()> act) : m_dialog(dialog), m_act(std::move(act)) {
        QObject::connect(&m_poll, &QTimer::timeout, [this]() {
            if (QApplication::activeModalWidget() == m_dialog && m_dialog->isVisible()) {
                m_poll.stop();
                seen = true;
                m_act();
            }
        });
        m_poll.start(5);
    }
    ModalWatch(const ModalWatch&) = delete;
    ModalWatch& operator=(const ModalWatch&) = delete;

    bool seen = false;

private:
    QWidget* m_dialog;
    std::function<void()> m_act;
    QTimer m_poll;
};
