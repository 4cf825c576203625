#include "recording/Tvalasz.h"

#include "app/AppState.h"
#include "app/GuiForms.h"
#include "exam/WorkingFolder.h"
#include "platform/FileError.h"

#include <QPlainTextEdit>
#include <QTextDocument>
#include <QVBoxLayout>

Tvalasz::Tvalasz(AppState& state, Forms& forms, QWidget* parent)
    : GuiToolDialog(Frame::NoButtons, parent), m_state(state), m_forms(forms) {
    setObjectName(QStringLiteral("Tvalasz"));
    setWindowTitle(QStringLiteral("A VSZ. válasza az aktuális képre"));
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setFont(font(QStringLiteral("Arial"), 15));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Memo1);
    resize(420, 160);
}

void Tvalasz::savePendingAnswer() {
    if (!Memo1->document()->isModified())
        return;
    WorkingFolder::saveAnswer(m_state.root, m_answerPicture, memoText(Memo1));
    Memo1->document()->setModified(false);
}

void Tvalasz::setAnswerPicture(int picture) {
    setWindowTitle(QStringLiteral("A(z) ") + QString::number(picture) + QStringLiteral(". képre adott válasz"));
    m_answerPicture = picture;
}

void Tvalasz::reloadAnswer() {
    QString text;
    try {
        text = WorkingFolder::loadAnswer(m_state.root, m_answerPicture);
    } catch (const FileError& e) {
        m_state.platform.message(e.text());
    }
    Memo1->setPlainText(text);
    Memo1->document()->setModified(false);
}

void Tvalasz::focusAnswer() {
    if (!isVisible())
        return;
    // The examiner clicks a picture and types the answer at once: the keys must reach this
    // window, not the one whose button was clicked.
    activateWindow();
    Memo1->setFocus();
}

QString Tvalasz::answerPath() const {
    return m_state.root.answerFile(m_answerPicture);
}

bool Tvalasz::isModified() const {
    return Memo1->document()->isModified();
}
