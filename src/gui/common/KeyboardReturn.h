#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

// Gives the keyboard back when a message or a dialog closes (a modal one always, one left open
// beside the others, as the archive, when it had the keyboard): to the window and the field
// that had it when the dialog came up. The window manager would hand it to the dialog's owner,
// the main window, where the examiner's next keys go nowhere. A dialog called up from the main
// window's menus returns the keyboard to the window the examiner last worked in (the answer or
// the marking window) while that is still shown: the main window has nothing to type into.
class KeyboardReturn : public QObject {
    Q_OBJECT
public:
    // Watches every window of the application while it lives.
    explicit KeyboardReturn(QObject* parent = nullptr);

    // Where the keyboard goes when the dialog on top closes now; null when nowhere.
    QWidget* returnWindow() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Holder {
        QPointer<QWidget> dialog;
        QPointer<QWidget> window;
        QPointer<QWidget> field;
    };

    void remember(QWidget* dialog);
    void release(QWidget* window);
    void noteActive(QWidget* window);
    void giveBack(const Holder& holder);
    QWidget* target(const Holder& holder) const;

    // The dialogs up now, the latest last, each with where the keyboard was before it.
    QList<Holder> m_holders;
    // The windows besides the main window that had the keyboard, the latest last.
    QList<QPointer<QWidget>> m_worked;
    // The window that had the keyboard last, the main window included.
    QPointer<QWidget> m_lastActive;
};
