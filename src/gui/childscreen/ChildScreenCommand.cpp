#include "gui/childscreen/ChildScreenCommand.h"

#include "app/ErrorBoundary.h"
#include "app/ExamSession.h"
#include "formats/ChildScreenFile.h"
#include "gui/childscreen/ChildScreen.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <utility>

ChildScreenCommand::ChildScreenCommand(ExamSession& session, Platform& platform, QWidget* mainWindow)
    : m_session(session), m_platform(platform), m_mainWindow(mainWindow) {
    GyermekkepernyoEsc = new QAction(this);
    GyermekkepernyoEsc->setObjectName(QStringLiteral("GyermekkepernyoEsc"));
    GyermekkepernyoEsc->setShortcut(QKeySequence(Qt::Key_Escape));
    // Only in the windows named in closeWithEscapeIn(): a dialog keeps its own Escape.
    GyermekkepernyoEsc->setShortcutContext(Qt::WindowShortcut);
    GyermekkepernyoEsc->setEnabled(false);
    connect(GyermekkepernyoEsc, &QAction::triggered, this, &ChildScreenCommand::close);

    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    connect(app, &QGuiApplication::screenAdded, this, &ChildScreenCommand::refreshItems);
    connect(app, &QGuiApplication::screenRemoved, this, &ChildScreenCommand::screenRemoved);
}

QString ChildScreenCommand::noSecondScreenText() {
    return QStringLiteral("A gyermek képernyőjéhez egy második monitor kell.");
}

void ChildScreenCommand::addItemsTo(QMenu* menu) {
    menu->addSeparator()->setObjectName(QStringLiteral("N9"));
    Gyermekkepernyo1 = menu->addAction(QStringLiteral("Gyermek képernyő"));
    Gyermekkepernyo1->setObjectName(QStringLiteral("Gyermekkepernyo1"));
    Gyermekkepernyo1->setCheckable(true);
    Gyermekkepernyo1->setShortcut(QKeySequence(Qt::Key_F11));
    // The answer window has the keyboard while the child looks at the pictures.
    Gyermekkepernyo1->setShortcutContext(Qt::ApplicationShortcut);
    connect(Gyermekkepernyo1, &QAction::triggered, this, &ChildScreenCommand::toggle);
    Gyermekkepernyohelye1 = menu->addMenu(QStringLiteral("Gyermek képernyő helye"));
    Gyermekkepernyohelye1->setObjectName(QStringLiteral("Gyermekkepernyohelye1"));
    Gyermekkepernyohelye1->menuAction()->setObjectName(QStringLiteral("Gyermekkepernyohelye1Action"));
    connect(Gyermekkepernyohelye1, &QMenu::aboutToShow, this, &ChildScreenCommand::fillChoices);
    // A disabled item says why it is disabled.
    menu->setToolTipsVisible(true);
    refreshItems();
}

void ChildScreenCommand::closeWithEscapeIn(const QList<QWidget*>& examinerWindows) {
    for (QWidget* window : examinerWindows)
        window->addAction(GyermekkepernyoEsc);
}

void ChildScreenCommand::unlock() {
    m_unlocked = true;
    refreshItems();
}

QList<QScreen*> ChildScreenCommand::candidates() const {
    const QScreen* examiner = m_mainWindow->screen();
    QList<QScreen*> result;
    for (QScreen* screen : QGuiApplication::screens()) {
        // A screen that mirrors the examiner's, or overlaps it, is no screen of the child's own.
        if (!examiner || !screen->geometry().intersects(examiner->geometry()))
            result << screen;
    }
    // As they stand on the desk, left to right: the order the system lists them in is its own.
    std::sort(result.begin(), result.end(), [](const QScreen* a, const QScreen* b) {
        return std::pair(a->geometry().x(), a->geometry().y()) < std::pair(b->geometry().x(), b->geometry().y());
    });
    return result;
}

QScreen* ChildScreenCommand::chosenScreen() const {
    const QList<QScreen*> screens = candidates();
    const QString remembered = ChildScreenFile::read(m_session.root());
    for (QScreen* screen : screens) {
        if (screen->name() == remembered)
            return screen;
    }
    return screens.isEmpty() ? nullptr : screens.constFirst();
}

bool ChildScreenCommand::isShown() const {
    return m_window && m_window->isVisible();
}

void ChildScreenCommand::toggle() {
    if (isShown())
        close();
    else
        open();
}

void ChildScreenCommand::open() {
    if (QScreen* screen = chosenScreen()) {
        if (!m_window)
            m_window = new ChildScreen(m_session, m_mainWindow);
        m_window->showOn(screen);
    }
    refreshItems();
}

void ChildScreenCommand::close() {
    if (m_window)
        m_window->hide();
    refreshItems();
}

void ChildScreenCommand::choose(QScreen* screen) {
    reportFailure(m_platform, [&] { ChildScreenFile::write(m_session.root(), screen->name()); });
    if (isShown() && m_window->screen() != chosenScreen()) {
        m_window->hide();
        open();
    }
}

void ChildScreenCommand::screenRemoved(QScreen* screen) {
    // Qt moves the windows of a screen that went away to another one once this returns; the
    // child's window must not land on the examiner's screen.
    if (isShown() && m_window->screen() == screen)
        close();
    // The examiner's own windows may be moved, which changes what the other screens are.
    QTimer::singleShot(0, this, &ChildScreenCommand::refreshItems);
}

void ChildScreenCommand::refreshItems() {
    if (!Gyermekkepernyo1)
        return;
    const bool available = !candidates().isEmpty();
    for (QAction* item : {Gyermekkepernyo1, Gyermekkepernyohelye1->menuAction()}) {
        item->setEnabled(m_unlocked && available);
        item->setToolTip(available ? QString() : noSecondScreenText());
    }
    Gyermekkepernyo1->setChecked(isShown());
    GyermekkepernyoEsc->setEnabled(isShown());
}

void ChildScreenCommand::fillChoices() {
    Gyermekkepernyohelye1->clear();
    const QScreen* chosen = chosenScreen();
    for (QScreen* screen : candidates()) {
        const QSize size = screen->size();
        QAction* item = Gyermekkepernyohelye1->addAction(
            QStringLiteral("%1 (%2 × %3)").arg(screen->name()).arg(size.width()).arg(size.height()));
        item->setCheckable(true);
        item->setChecked(screen == chosen);
        connect(item, &QAction::triggered, this, [this, target = QPointer<QScreen>(screen)] {
            if (target)
                choose(target);
        });
    }
}
