#pragma once

#include <QString>
#include <QStringList>

// A subcommand of gyvkt-cli. run() takes the arguments after the subcommand's name and returns
// the process exit status: 0 on success, 1 for a usage error, 2 for a file it could not use.
struct Subcommand {
    const char* name;
    const char* usage; // the synopsis line(s)
    const char* help;  // what it does, its options and its output, in Hungarian
    int (*run)(const QStringList& args);
    bool evaluates = false; // takes --gcr and --decimal, which the help then explains
};

extern const Subcommand kDumpCommand;
extern const Subcommand kProtocolCommand;
extern const Subcommand kEvaluateCommand;
extern const Subcommand kCompareCommand;
extern const Subcommand kExportCommand;
extern const Subcommand kAgreementCommand;
extern const Subcommand kNormsCommand;
extern const Subcommand kListCommand;
extern const Subcommand kBackupCommand;
extern const Subcommand kVerifyCommand;
extern const Subcommand kRestoreCommand;
#ifdef GYVKT_WITH_INSTITUTION
extern const Subcommand kServerCommand;
extern const Subcommand kSyncCommand;
extern const Subcommand kPullCommand;
#endif

// Whether the arguments (after the program's name) ask for drawing, a PDF: its fonts
// need a QGuiApplication, which every other run does without.
bool wantsGuiApplication(const QStringList& args);

// Every subcommand, in the order the help lists them.
const QList<const Subcommand*>& subcommands();

// Writes to stdout / stderr as UTF-8.
void printOut(const QString& text);
void printErr(const QString& text);

// The subcommand's usage and help on stdout: the answer to "--help".
int printHelp(const Subcommand& command);
// The usage on stderr after a usage error; returns 1.
int usageError(const Subcommand& command);
