#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class ChildScreen;
class ExamSession;
class Platform;
class QAction;
class QMenu;
class QScreen;
class QWidget;

// "Gyermek képernyő": the child's window on a screen of its own, opened and closed from the
// examiner's side only, and the choice of that screen, which is remembered in the data root.
//
//   Gyermekkepernyo1       "Gyermek képernyő" (F11): opens the child's window, or closes it;
//                          checked while it is up; disabled, with a tooltip saying why, while
//                          there is no screen besides the examiner's
//   Gyermekkepernyohelye1  "Gyermek képernyő helye": the screens the child's window may go to,
//                          the chosen one checked
//   GyermekkepernyoEsc     Escape in the examiner's windows closes the child's window
//
// The examiner's screen is the one the main window stands on. The child's window is made when it
// is first opened; a screen that goes away takes it down with it and nothing else moves.
class ChildScreenCommand : public QObject {
    Q_OBJECT
public:
    ChildScreenCommand(ExamSession& session, Platform& platform, QWidget* mainWindow);

    // Puts the two items at the end of the menu. They stay disabled until unlock().
    void addItemsTo(QMenu* menu);
    // Escape closes the child's window while one of these windows is active.
    void closeWithEscapeIn(const QList<QWidget*>& examinerWindows);
    // The password was accepted.
    void unlock();

    // Every screen but the examiner's, left to right.
    QList<QScreen*> candidates() const;
    // The remembered screen when it is a candidate, else the first candidate; none when there is
    // no second screen.
    QScreen* chosenScreen() const;
    // Opens the child's window on the chosen screen, or closes it when it is up.
    void toggle();
    void open();
    void close();
    bool isShown() const;
    // Makes the screen the child's (remembered for the next start) and moves an open window there.
    void choose(QScreen* screen);

    static QString noSecondScreenText();

private:
    void screenRemoved(QScreen* screen);
    void refreshItems();
    void fillChoices();

    ExamSession& m_session;
    Platform& m_platform;
    QWidget* m_mainWindow;
    bool m_unlocked = false;
    // Made on first use.
    QPointer<ChildScreen> m_window;
    QAction* Gyermekkepernyo1 = nullptr;
    QMenu* Gyermekkepernyohelye1 = nullptr;
    QAction* GyermekkepernyoEsc = nullptr;
};
