#pragma once

#include "app/ExamSession.h"
#include "gui/common/ToolWindow.h"

class Platform;
class QLabel;
class QPlainTextEdit;

// The answer window: the child's answer to the current picture, typed by the examiner. The
// text reaches its answer file only when another picture is selected (or when a command
// asks for the pending answer), and only if it was edited.
//
//   Memo1   word-wrapped editor filling the window; the answer of the current picture
//   Label1  above it, only for an answer too long to show: says that it is cut and read-only
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
    // The keyboard to the answer: the window activated, the editor focused.
    void takeKeyboard();

    // The picture whose answer file the memo belongs to.
    int answerPicture() const { return m_answerPicture; }
    QString answerPath() const;
    bool isModified() const;

    // The longest answer the memo lays out in a moment, even as one line without breaks: a
    // child's answer is a few hundred characters, and text layout of millions of them holds
    // the window for minutes. A longer one is shown cut, read-only, so the cut text can never
    // be written over the file.
    static constexpr qsizetype kShownAnswerLength = 20000;

private:
    // Binds the window to picture n (caption, answer file), loads its answer and takes the
    // keyboard when the window is on screen.
    void showPicture(int picture);

    ExamSession& m_session;
    Platform& m_platform;
    QPlainTextEdit* Memo1;
    QLabel* Label1;
    int m_answerPicture = 1;
};
