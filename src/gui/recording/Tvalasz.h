#pragma once

#include "core/session/ExamSession.h"
#include "gui/common/ToolWindow.h"

class Platform;
class QPlainTextEdit;

// The answer window: the child's answer to the current picture, typed by the examiner. The
// text reaches its answer file only when another picture is selected (or when a command
// asks for the pending answer), and only if it was edited.
//
//   Memo1   word-wrapped editor filling the window; the answer of the current picture
class Tvalasz : public ToolWindow, public AnswerEditor {
    Q_OBJECT
public:
    Tvalasz(ExamSession& session, Platform& platform, QWidget* parent = nullptr);

    // Writes an edited memo to the answer file it belongs to, exactly as typed, and clears the
    // modified flag. Raises UserError when the file cannot be written; the text stays then.
    void storePendingAnswer() override;
    // Loads the bound answer file (empty when there is none) and clears the modified flag. An
    // unreadable file is reported and leaves the memo empty, never holding another picture's
    // answer.
    void reloadAnswer();

    // The picture whose answer file the memo belongs to.
    int answerPicture() const { return m_answerPicture; }
    QString answerPath() const;
    bool isModified() const;

private:
    // Binds the window to picture n (caption, answer file), loads its answer and takes the
    // keyboard when the window is on screen.
    void showPicture(int picture);

    ExamSession& m_session;
    Platform& m_platform;
    QPlainTextEdit* Memo1;
    int m_answerPicture = 1;
};
