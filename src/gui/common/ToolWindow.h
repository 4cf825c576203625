#pragma once

#include <QDialog>

// The program's tool windows. They live for the whole run and are only shown and hidden, so
// Escape must not hide them behind the examiner's back. A close box hides the window, as in any
// other program, and the arrangement brings it back; window managers that draw a close box on
// every window (openbox does) get one that works on the windows that asked for none as well.
//
// They stay above the program's main window by being its transient windows (the Qt::Tool type
// with the main window as parent), not by a stay-on-top hint: a hint would keep them above every
// other program as well, over the browser showing the protocol, and above the windows the
// examiner calls up (archive, profile, dialogs), which are transient for the main window too and
// so come up above the tool windows and come forward on a click.
class ToolWindow : public QDialog {
    Q_OBJECT
public:
    enum class Frame { CloseBox, NoButtons };

    ToolWindow(Frame frame, QWidget* parent);

    void reject() override;
    // A window worked from the keyboard on the current picture keeps the keyboard when the
    // picture changes; otherwise the answer window takes it.
    virtual bool keepsKeyboardOnPictureChange() const { return false; }

protected:
    void closeEvent(QCloseEvent* event) override;
};
