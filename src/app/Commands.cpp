#include "app/Commands.h"

#include "app/ArchiveExportCommand.h"
#include "app/ErrorBoundary.h"
#include "app/ExamSession.h"
#include "base/TextFile.h"
#include "formats/ExaminationFile.h"
#include "formats/PasswordStore.h"
#include "model/Evaluate.h"
#include "render/ProtocolWriter.h"
#include "services/EvaluatedExamination.h"

#include <QFileInfo>

CommandWindows::~CommandWindows() = default;

Commands::Commands(ExamSession& session, Platform& platform, CommandWindows& windows)
    : m_session(session), m_platform(platform), m_windows(windows), m_writeChart(&ProtocolWriter::writeProfileChart) {}

void Commands::newExamination() {
    if (m_windows.personalDataShown() || !mayReplaceExamination())
        return;
    if (reportFailure(m_platform, [this] { m_session.startNewExamination(); }))
        m_windows.showPersonalData();
}

void Commands::openFromDialog() {
    if (m_windows.personalDataShown())
        return;
    Platform::FileDialog dialog;
    dialog.filter = QStringLiteral("gyermek VKT. vizsg. eredm. (*.kvx)|*.kvx|minden fájl (*.*)|*.*");
    dialog.initialFolder = m_session.root().archiveFolder();
    const QString path = m_platform.openFileName(dialog);
    if (!path.isEmpty())
        openFile(path);
}

bool Commands::openFile(const QString& path) {
    if (m_windows.personalDataShown())
        return false;
    // A file that cannot be read replaces nothing, so it asks nothing either.
    ExaminationData data;
    if (!reportFailure(m_platform, [&] { data = ExaminationFile::read(path); }) || !mayReplaceExamination())
        return false;
    if (!reportFailure(m_platform, [&] { m_session.load(data); }))
        return false;
    m_windows.showPersonalData();
    return true;
}

bool Commands::save() {
    return saveThroughDialog() != SaveOutcome::Failed;
}

Commands::SaveOutcome Commands::saveThroughDialog() {
    const QString path = chooseSaveFile();
    if (path.isEmpty())
        return SaveOutcome::Cancelled;
    const bool saved = reportFailure(m_platform, [&] {
        // An answer still being typed belongs to the examination being saved.
        m_session.storePendingAnswer();
        const QByteArray bytes = ExaminationFile::serialize(m_session.collect());
        TextFile::writeBytes(path, bytes);
        m_session.markSaved(bytes);
    });
    return saved ? SaveOutcome::Saved : SaveOutcome::Failed;
}

QString Commands::chooseSaveFile() {
    Platform::FileDialog dialog;
    dialog.filter = QStringLiteral("gyermek VKT vizsg. eredm.|*.kvx|minden fájl|*.*");
    dialog.defaultSuffix = QStringLiteral("kvx");
    dialog.initialFolder = m_session.root().archiveFolder();
    const QString& code = m_session.personal().code;
    dialog.fileName = code.trimmed().isEmpty() ? QString() : code;
    dialog.overwritePrompt = true;
    for (;;) {
        const QString path = m_platform.saveFileName(dialog);
        if (path.isEmpty())
            return path;
        // An Enter in a dialog that proposed nothing must not file a nameless examination.
        const QFileInfo chosen(path);
        if (!chosen.isDir() && !chosen.completeBaseName().trimmed().isEmpty())
            return path;
        m_platform.message(QStringLiteral("Név nélkül nem menthető a vizsgálat. Adjon meg egy fájlnevet!"));
    }
}

bool Commands::mayReplaceExamination() {
    bool changed = true;
    if (!reportFailure(m_platform, [&] { changed = m_session.hasUnsavedChanges(); }))
        return false;
    if (!changed || !m_platform.confirm(QStringLiteral("El akarja menteni az aktuális vizsgálatot?")))
        return true;
    return saveThroughDialog() == SaveOutcome::Saved;
}

void Commands::showPersonalData() {
    if (!m_windows.personalDataShown())
        m_windows.showPersonalData();
}

void Commands::stepPicture(int by) {
    reportFailure(m_platform, [&] { m_session.stepPicture(by); });
}

bool Commands::evaluateForProtocol(EvaluationResult& result) {
    return evaluateForProtocol(m_session.personal(), m_session.coding(), result);
}

bool Commands::evaluateForProtocol(const PersonalData& personal, const Coding& coding, EvaluationResult& result) {
    const int marked = coding.markedPictureCount();
    if (ProtocolGate::refusal(marked, personal.age) == ProtocolRefusal::TooFewMarked) {
        m_windows.showTooFewMarked(marked);
        return false;
    }
    // An age outside the norms is refused by the evaluation itself, with the gate's text.
    return reportFailure(m_platform, [&] { result = evaluate(coding, personal.age, m_session.decimalSeparator()); });
}

void Commands::finishedProtocol() {
    writeProtocol(m_session.personal(), m_session.coding());
}

void Commands::writeProtocol(const PersonalData& personal, const Coding& coding) {
    EvaluationResult result;
    if (!evaluateForProtocol(personal, coding, result))
        return;
    const QString path = m_session.root().protocolFile(personal.code);
    if (!reportFailure(m_platform, [&] {
            const QByteArray page =
                ProtocolWriter::protocolBytes(personal, coding, result, m_session.decimalSeparator());
            // A page that holds this very protocol already (the archive's "Jegyzőkönyv" asked again)
            // is left as it is.
            bool current = false;
            if (QFileInfo(path).isFile()) {
                try {
                    current = TextFile::readBytes(path) == page;
                } catch (const UserError&) {
                }
            }
            if (!current)
                TextFile::writeBytes(path, page);
        }))
        return;
    // The page does not show the chart, so a chart that could not be written is reported but
    // does not keep the finished protocol from the examiner.
    const QString chart = m_session.root().profileChartFile(personal.code);
    reportFailure(m_platform, [&] { m_writeChart(chart, personal, result, m_session.decimalSeparator()); });
    openProtocol(ProtocolDocument{path, chart, personal, coding, result});
}

void Commands::openProtocol(const ProtocolDocument& protocol) {
    m_platform.openDocument(protocol.page, [this, protocol] { m_windows.showProtocol(protocol); });
}

void Commands::showProtocolOf(const QString& examinationPath) {
    EvaluatedExamination examination;
    if (reportFailure(m_platform, [&] { examination = EvaluatedExamination::read(examinationPath, m_session.key()); }))
        writeProtocol(examination.data.personal, examination.coding);
}

void Commands::exportArchive() {
    ArchiveExportCommand::run(m_session.root(), m_platform);
}

bool Commands::closeQuery() {
    if (!m_platform.confirm(QStringLiteral("Ki akar lépni a Gyermek VKT programból?")))
        return false;
    // The answer being typed goes to its file first, so the next start finds it in the working
    // folder; an answer that cannot be stored keeps the program open.
    bool changed = true;
    if (!reportFailure(m_platform, [&] { changed = m_session.hasUnsavedChanges(); }))
        return false;
    // Unlike before replacing, a cancelled save dialog still ends the program.
    return !changed || !m_platform.confirm(QStringLiteral("El akarja menteni az aktuális vizsgálatot?")) || save();
}

void Commands::readStoredPassword() {
    const QString path = m_session.root().passwordStore();
    const bool exists = QFileInfo::exists(path);
    if (exists) {
        QStringList lines;
        try {
            lines = TextFile::readLines(path);
        } catch (const UserError&) {
            // A store that is there but cannot be read may be perfectly good; it is neither
            // replaced nor stood in for by the installation's password.
            m_session.setProgramPassword(QString());
            m_platform.message(QStringLiteral("A program-jelszó tárolója (") + path +
                               QStringLiteral(") nem olvasható. A program zárva marad, amíg a fájl nem lesz "
                                              "olvasható; a tároló nem változott."));
            return;
        }
        if (const std::optional<QString> password = PasswordStore::passwordFromLines(lines)) {
            m_session.setProgramPassword(*password);
            return;
        }
    }

    m_platform.message(QStringLiteral("A program-jelszó tárolója (") + path +
                       QStringLiteral(") hiányzik vagy sérült. A program visszaállítja a telepítéskori "
                                      "tárolót; ettől kezdve a telepítéskori jelszó érvényes."));
    const QByteArray fresh = PasswordStore::defaultStoreBytes();
    m_session.setProgramPassword(*PasswordStore::passwordFromLines(TextFile::splitLines(QString::fromLatin1(fresh))));
    reportFailure(m_platform, [&] {
        // Whatever the damaged store held is kept beside it rather than thrown away.
        if (exists)
            TextFile::writeBytes(path + QStringLiteral(".bak"), TextFile::readBytes(path));
        TextFile::writeBytes(path, fresh);
    });
}

bool Commands::changePassword(const QString& oldPassword, const QString& newPassword, const QString& confirmation) {
    bool changed = false;
    reportFailure(m_platform, [&] {
        changed = PasswordStore::change(m_session.root().passwordStore(), m_session.programPassword(), oldPassword,
                                        newPassword, confirmation);
    });
    // A password the store could not take is not put in force: the examiner would believe it
    // changed and find the old one asked for at the next start.
    if (changed)
        m_session.setProgramPassword(newPassword);
    return changed;
}

bool Commands::passwordEntered(const QString& text) {
    // Without a usable password in force (an unreadable store) nothing unlocks the program.
    if (m_session.programPassword().size() < PasswordStore::MinLength || text != m_session.programPassword())
        return false;
    // The file is tried once; whether it opens or not, the examiner has given the right
    // password and gets the program (an unreadable file must not lock them out).
    if (!m_commandLine.examinationFile.isEmpty() && !m_commandLineFileTried) {
        m_commandLineFileTried = true;
        openFile(m_commandLine.examinationFile);
    }
    return true;
}
