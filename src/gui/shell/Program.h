#pragma once

#include "app/Commands.h"
#include "app/ExamSession.h"
#include "base/DataRoot.h"
#include "gui/paper/PaperCommands.h"
#include "gui/shell/Arrangements.h"
#include "gui/shell/ProgramWindows.h"

#include <QStringList>

#include <memory>

class BackupCommand;
class ChildScreenCommand;
class Platform;
class TJeloles;
class TSzemAd;

// One run of gyermek VKT on a data root: the examination session, its commands and the
// windows, each made when first needed and wired to the others it asks for. main() starts one;
// the GUI tests drive one the same way.
class Program {
public:
    Program(const DataRoot& root, Platform& platform, const QStringList& parameters);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // What start-up does once the windows exist, before the main window is first seen: the
    // stored program password is read and a password handed over on the command line typed.
    void start();

    ExamSession& session() { return m_session; }
    Commands& commands() { return m_commands; }
    Arrangements& arrangements() { return m_arrangements; }
    ProgramWindows& windows() { return m_windows; }
    PaperCommands& paper() { return m_paper; }
    // "Biztonsági mentés…", made with its passphrase window when first needed.
    BackupCommand& backup();
    ChildScreenCommand& childScreen() { return *m_childScreen; }

private:
    void setMakers();
    TJeloles* makeJeloles();
    TSzemAd* makeSzemAd();
    void connectMainWindow();
    // F1: the help chapter, and the place in it, of the window in front.
    void showHelpFor(const QWidget* window);

    ExamSession m_session;
    Platform& m_platform;
    ProgramWindows m_windows;
    Commands m_commands;
    Arrangements m_arrangements;
    PaperCommands m_paper;
    std::unique_ptr<BackupCommand> m_backup;
    std::unique_ptr<ChildScreenCommand> m_childScreen;
};
