#pragma once

#include <QDialog>

// The program's always-on-top tool windows. They live for the whole run and are only shown
// and hidden, so Escape must not hide them behind the examiner's back; the close box (where
// a window has one) hides the window as in any other program. A window without a close box
// refuses a close asked for by other means (a keystroke of the window manager): the answer
// window closed that way would leave the keyboard typing into nothing.
class ToolWindow : public QDialog {
    Q_OBJECT
public:
    enum class Frame { CloseBox, NoButtons };

    ToolWindow(Frame frame, QWidget* parent);

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Frame m_frame;
};
