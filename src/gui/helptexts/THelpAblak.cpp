#include "gui/helptexts/THelpAblak.h"

#include "app/ErrorBoundary.h"
#include "app/Platform.h"
#include "base/TextFile.h"
#include "base/UserError.h"
#include "formats/HelpTexts.h"
#include "gui/common/Widgets.h"

#include <QAction>
#include <QEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

THelpAblak::THelpAblak(const DataRoot& root, Platform& platform, QWidget* parent)
    : ToolWindow(Frame::CloseBox, parent), m_root(root), m_platform(platform) {
    setObjectName(QStringLiteral("THelpAblak"));

    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    ments1 = new QAction(QStringLiteral("&Mentés"), this);
    ments1->setObjectName(QStringLiteral("ments1"));
    ments1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    ments1->setStatusTip(QStringLiteral("menti a változásokat"));
    ments1->setToolTip(ments1->statusTip());
    Noteszbe1 = new QAction(QStringLiteral("&Noteszbe"), this);
    Noteszbe1->setObjectName(QStringLiteral("Noteszbe1"));
    Noteszbe1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    Noteszbe1->setStatusTip(QStringLiteral("a kijelölt részt a noteszbe másolja"));
    Noteszbe1->setToolTip(Noteszbe1->statusTip());
    MainMenu1->addAction(ments1);
    MainMenu1->addAction(Noteszbe1);
    // The shortcuts must work while the focus is in the text.
    addAction(ments1);
    addAction(Noteszbe1);
    ments1->setEnabled(false);
    Noteszbe1->setEnabled(false);

    Memo1 = Widgets::memo(this, QStringLiteral("Memo1"), Widgets::font(QStringLiteral("Courier New"), 13),
                          QColor(0, 0, 128), Qt::white);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setTabChangesFocus(false);
    Memo1->viewport()->installEventFilter(this);
    Memo1->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(MainMenu1);
    layout->addWidget(Memo1);
    setGeometry(381, 202, 475, 346);

    connect(Memo1, &QPlainTextEdit::textChanged, this, &THelpAblak::Memo1Change);
    connect(ments1, &QAction::triggered, this, &THelpAblak::Ment_gombClick);
    connect(Noteszbe1, &QAction::triggered, this, &THelpAblak::Notesz_GombClick);
}

void THelpAblak::showChapter(int chapter) {
    m_currentHelpFile = m_root.helpChapter(chapter);
    if (QFileInfo::exists(m_currentHelpFile)) {
        reportFailure(m_platform,
                      [this] { Memo1->setPlainText(HelpTexts::memoText(HelpTexts::readLines(m_currentHelpFile))); });
    } else {
        m_platform.message(QStringLiteral("Hiányzik egy fájl, telepítse újra a programot!"));
    }
    show();
    raise();
    activateWindow();
    ments1->setEnabled(false);
}

void THelpAblak::showChapterAt(int chapter, const QString& heading) {
    showChapter(chapter);
    const QTextCursor found = Memo1->document()->find(heading);
    if (found.isNull())
        return;
    // Coming from the end, the text scrolls back just far enough to put the heading on top.
    Memo1->moveCursor(QTextCursor::End);
    QTextCursor start = found;
    start.movePosition(QTextCursor::StartOfBlock);
    Memo1->setTextCursor(start);
    Memo1->ensureCursorVisible();
}

void THelpAblak::FormActivate() {
    setWindowTitle(m_currentHelpFile);
    ments1->setEnabled(false);
    Noteszbe1->setEnabled(false);
}

void THelpAblak::Memo1Change() {
    ments1->setEnabled(true);
}

void THelpAblak::FormMouseUp() {
    Noteszbe1->setEnabled(Memo1->textCursor().hasSelection());
}

void THelpAblak::Ment_gombClick() {
    if (!ments1->isEnabled() || m_currentHelpFile.isEmpty())
        return;
    reportFailure(m_platform, [this] {
        TextFile::writeLines(m_currentHelpFile, HelpTexts::memoLines(Widgets::memoText(Memo1)));
        ments1->setEnabled(false);
    });
}

void THelpAblak::Notesz_GombClick() {
    if (!Noteszbe1->isEnabled())
        return;
    QString text = Memo1->textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    m_platform.copyToClipboard(text);
    Noteszbe1->setEnabled(false);
}

void THelpAblak::changeEvent(QEvent* event) {
    ToolWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void THelpAblak::mouseReleaseEvent(QMouseEvent* event) {
    ToolWindow::mouseReleaseEvent(event);
    FormMouseUp();
}

bool THelpAblak::eventFilter(QObject* watched, QEvent* event) {
    // The selection a mouse drag makes is already in place when its button comes up.
    if (watched == Memo1->viewport() && event->type() == QEvent::MouseButtonRelease)
        FormMouseUp();
    // The main window's keys work in the tool windows too, and its Ctrl+N ("Új vizsgálat")
    // would make this window's own Ctrl+N ambiguous: here the window's own keys come first.
    const QEvent::Type type = event->type();
    if (watched == Memo1 && (type == QEvent::ShortcutOverride || type == QEvent::KeyPress)) {
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        for (QAction* own : {ments1, Noteszbe1}) {
            if (own->shortcut() != pressed)
                continue;
            event->accept();
            if (type == QEvent::KeyPress)
                own->trigger();
            return true;
        }
    }
    return ToolWindow::eventFilter(watched, event);
}
