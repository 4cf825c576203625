#pragma once

#include <QWidget>

class ExamSession;
class QScreen;

// The child's own screen: the current picture and nothing else, as large as the screen allows
// without distortion, on a plain background. No frame, no cursor, no text, and it never takes
// the keyboard: the examiner goes on typing the answer while the child looks at the picture.
// It follows the session's current picture; it knows no other window.
class ChildScreen : public QWidget {
    Q_OBJECT
public:
    ChildScreen(ExamSession& session, QWidget* owner);

    // Covers the whole of the screen given and shows itself there, without being activated.
    void showOn(QScreen* screen);

protected:
    void paintEvent(QPaintEvent* event) override;
    // Only the examiner closes it: a close the window system asks for is refused.
    void closeEvent(QCloseEvent* event) override;

private:
    ExamSession& m_session;
};
