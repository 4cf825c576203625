#pragma once

#include <QObject>

class QWidget;

// The tool windows and dialogs ask for a title bar without buttons, but some window managers
// draw minimise and maximise buttons on every window all the same (openbox does so on purpose).
// A minimised tool window has no task-bar entry to bring it back, and a minimised modal dialog
// would block the program out of sight; so every window of the program but the main one is
// kept in its normal state.
class NormalStateKeeper : public QObject {
    Q_OBJECT
public:
    // Watches the application's windows for as long as the main window lives.
    explicit NormalStateKeeper(QWidget* mainWindow);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_main;
};
