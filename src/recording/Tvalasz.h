#pragma once

#include "helptexts/GuiToolDialog.h"

class AppState;
struct Forms;
class QPlainTextEdit;

// The answer window: the child's answer to the current picture, typed by the examiner. The
// text reaches its answer file only when another picture is selected (or when a command
// asks for the pending answer), and only if it was edited.
//
//   Memo1   word-wrapped editor filling the window; the answer of the current picture
class Tvalasz : public GuiToolDialog {
    Q_OBJECT
public:
    Tvalasz(AppState& state, Forms& forms, QWidget* parent = nullptr);

    // Writes an edited memo to the answer file it belongs to, exactly as typed, and clears the
    // modified flag. Raises FileError when the file cannot be written; the text stays then.
    void savePendingAnswer();
    // Binds the window to picture n: its caption and the answer file the memo belongs to.
    void setAnswerPicture(int picture);
    // Loads the bound answer file (empty when there is none) and clears the modified flag. An
    // unreadable file is reported and leaves the memo empty, never holding another picture's
    // answer.
    void reloadAnswer();
    // When the window is visible: makes it the active window with the keyboard in the text.
    void focusAnswer();

    // The picture whose answer file the memo belongs to.
    int answerPicture() const { return m_answerPicture; }
    QString answerPath() const;
    bool isModified() const;

private:
    AppState& m_state;
    Forms& m_forms;
    QPlainTextEdit* Memo1;
    int m_answerPicture = 1;
};
