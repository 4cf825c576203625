#pragma once

#include "app/CommandLine.h"
#include "model/Coding.h"
#include "model/EvaluationResult.h"
#include "model/PersonalData.h"

#include <QString>

#include <functional>

class ExamSession;
class Platform;

// A protocol as it was made: its page, and what its paper forms (print, PDF) are made from.
struct ProtocolDocument {
    QString page;  // html/<code>.html
    QString chart; // html/<code>_profil.png
    PersonalData personal;
    Coding coding;
    EvaluationResult result;
};

// What the examination commands need of the windows.
class CommandWindows {
public:
    virtual ~CommandWindows();
    // True while the personal-data window is up; no command may show it again or run under it.
    virtual bool personalDataShown() const = 0;
    // Shows the personal-data window modally and returns when it is closed.
    virtual void showPersonalData() = 0;
    // The too-few dialog, modally, with the number of marked pictures.
    virtual void showTooFewMarked(int marked) = 0;
    // The program's own protocol window, for a page the desktop could not open.
    virtual void showProtocol(const ProtocolDocument& protocol) = 0;
};

// Writes the profile chart beside a finished protocol, raising UserError when it cannot. The
// program draws it (ProtocolWriter::writeProfileChart), which needs a QGuiApplication; a test
// without one puts a stand-in here.
using ChartWriter = std::function<void(const QString& path, const PersonalData& personal,
                                       const EvaluationResult& result, QChar decimalSeparator)>;

// The examination commands of the main window's menus, the command line and the close query,
// in one place. Each command turns a UserError into one message box and stops where it was
// raised; what it had done stays done.
class Commands {
public:
    Commands(ExamSession& session, Platform& platform, CommandWindows& windows);

    // "Új vizsgálat": personal data (code kept), coding and answer files reset, then the
    // personal-data window, modally. Unsaved work is offered for saving first.
    void newExamination();
    // "Megnyitás": the open dialog, then the file as openFile() reads it.
    void openFromDialog();
    // Reads an examination file into the session and shows the personal data modally. False,
    // after the message, when the file could not be read or its answers not written, or when
    // the examiner kept unsaved work (a save asked for and not done).
    bool openFile(const QString& path);
    // "Mentés": the save dialog proposing <code>.kvx (no name without a code), then the file. A
    // name left empty or blank is refused and asked again. False only when writing failed; a
    // cancelled dialog is no failure.
    bool save();
    // "Szem. adatok": the personal-data window, modally.
    void showPersonalData();
    // "Következő kép" and "Előző kép": the picture `by` places on, after storing the answer
    // being typed; when that cannot be stored, the message, and the picture stays.
    void stepPicture(int by);
    // "Kész jegyzőkönyv": with at least 18 marked pictures the evaluation, html/<code>.html and
    // beside it the profile chart html/<code>_profil.png, the page handed to the browser (the
    // protocol window when there is none); with fewer the too-few dialog.
    void finishedProtocol();
    // The evaluation every form of the protocol starts from (HTML, PDF, print, profile chart),
    // under the same refusals: with too few marked pictures the too-few dialog, with an age
    // outside the norms its message. False after the refusal was shown.
    bool evaluateForProtocol(EvaluationResult& result);
    // The archive window's "Jegyzőkönyv": the protocol of an examination file (not of the one in
    // hand) under the session's key and separator, made as "Kész jegyzőkönyv" makes it.
    void showProtocolOf(const QString& examinationPath);
    // "Exportálás CSV-be…": every examination of the archive into one table (Excel, Hungarian
    // settings), anonymous on request, through the save dialog.
    void exportArchive();
    // The close query: true when the program may end.
    bool closeQuery();

    // Start-up: the stored program password. A store that is missing or unusable is reported,
    // the installation's store is laid down again (the old one kept as standard.dat.bak) and
    // its first password applies.
    void readStoredPassword();
    // "Jelszó": the change of the program password from the digits the window collected. True
    // when it is stored and in force; a change that fails a test, or whose store cannot be
    // written (reported at the boundary), leaves the old password in force.
    bool changePassword(const QString& oldPassword, const QString& newPassword, const QString& confirmation);
    void setCommandLine(const CommandLine& commandLine) { m_commandLine = commandLine; }
    void setChartWriter(ChartWriter writer) { m_writeChart = std::move(writer); }
    const CommandLine& commandLine() const { return m_commandLine; }
    // The main window's password field changed: true when it holds the program password. The
    // examination named on the command line is opened then, once per run.
    bool passwordEntered(const QString& text);

private:
    enum class SaveOutcome { Saved, Cancelled, Failed };
    bool evaluateForProtocol(const PersonalData& personal, const Coding& coding, EvaluationResult& result);
    SaveOutcome saveThroughDialog();
    // Before the examination in hand is replaced: when it has unsaved changes, the question
    // whether to save it, and the save. False when it is to stay (a save cancelled or failed).
    bool mayReplaceExamination();
    // The protocol of an examination: the evaluation under the refusals of "Kész jegyzőkönyv",
    // html/<code>.html with html/<code>_profil.png beside it, the page handed to the shell.
    void writeProtocol(const PersonalData& personal, const Coding& coding);
    // Hands a written protocol to the browser, or to the protocol window when there is none.
    void openProtocol(const ProtocolDocument& protocol);
    // The save dialog until it gives a usable name or is cancelled (an empty path).
    QString chooseSaveFile();

    ExamSession& m_session;
    Platform& m_platform;
    CommandWindows& m_windows;
    CommandLine m_commandLine;
    bool m_commandLineFileTried = false;
    ChartWriter m_writeChart;
};
