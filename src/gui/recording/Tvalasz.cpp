#include "gui/recording/Tvalasz.h"

#include "app/ErrorBoundary.h"
#include "formats/WorkingFolder.h"
#include "gui/common/Widgets.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QVBoxLayout>

Tvalasz::Tvalasz(ExamSession& session, Platform& platform, QWidget* parent)
    : ToolWindow(Frame::NoButtons, parent), m_session(session), m_platform(platform) {
    setObjectName(QStringLiteral("Tvalasz"));
    setWindowTitle(QStringLiteral("A VSZ. válasza az aktuális képre"));
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setFont(Widgets::font(QStringLiteral("Arial"), 15));
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setText(QStringLiteral("A válasz túl hosszú ahhoz, hogy az ablak egészében mutassa: csak az első %1 "
                                   "karaktere látszik, és itt nem szerkeszthető. A válaszfájl változatlan marad.")
                        .arg(kShownAnswerLength));
    Label1->hide();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Label1);
    layout->addWidget(Memo1);
    resize(420, 160);

    m_session.setAnswerEditor(this);
    connect(&m_session, &ExamSession::pictureSelected, this, &Tvalasz::showPicture);
    // A new or opened examination replaced the files; an edit left here belongs to the old one
    // and would otherwise be written over the new answer at the next picture change.
    connect(&m_session, &ExamSession::answersReplaced, this, &Tvalasz::reloadAnswer);
    // Made when first needed: it opens on the picture in hand.
    showPicture(m_session.currentPicture());
}

void Tvalasz::storePendingAnswer() {
    if (!Memo1->document()->isModified())
        return;
    WorkingFolder::saveAnswer(m_session.root(), m_answerPicture, Widgets::memoText(Memo1));
    Memo1->document()->setModified(false);
}

void Tvalasz::showPicture(int picture) {
    setWindowTitle(QStringLiteral("A(z) ") + QString::number(picture) + QStringLiteral(". képre adott válasz"));
    m_answerPicture = picture;
    reloadAnswer();
    if (!isVisible())
        return;
    // The examiner clicks a picture and types the answer at once: the keys must reach this
    // window, not the one whose button was clicked; the marking window, coded from the keyboard,
    // keeps them.
    const auto* active = qobject_cast<const ToolWindow*>(QApplication::activeWindow());
    if (!active || !active->keepsKeyboardOnPictureChange())
        takeKeyboard();
}

void Tvalasz::takeKeyboard() {
    Widgets::activate(this);
    Memo1->setFocus();
}

void Tvalasz::reloadAnswer() {
    QString text;
    reportFailure(m_platform, [&] { text = WorkingFolder::loadAnswer(m_session.root(), m_answerPicture); });
    const bool cut = text.size() > kShownAnswerLength;
    Memo1->setPlainText(cut ? text.left(kShownAnswerLength) : text);
    Memo1->setReadOnly(cut);
    Label1->setVisible(cut);
    Memo1->document()->setModified(false);
}

QString Tvalasz::answerPath() const {
    return m_session.root().answerFile(m_answerPicture);
}

bool Tvalasz::isModified() const {
    return Memo1->document()->isModified();
}
