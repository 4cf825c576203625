#include "core/session/Commands.h"

#include "core/evaluation/Evaluate.h"
#include "core/exam/ExaminationFile.h"
#include "core/platform/ErrorBoundary.h"
#include "core/platform/TextFile.h"
#include "core/report/ProtocolWriter.h"
#include "core/session/ExamSession.h"
#include "core/session/PasswordStore.h"

#include <QFile>

CommandWindows::~CommandWindows() = default;

Commands::Commands(ExamSession& session, Platform& platform, CommandWindows& windows)
    : m_session(session), m_platform(platform), m_windows(windows) {}

void Commands::newExamination() {
    if (m_windows.personalDataShown())
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
    if (!reportFailure(m_platform, [&] { m_session.load(ExaminationFile::read(path)); }))
        return false;
    m_windows.showPersonalData();
    return true;
}

bool Commands::save() {
    Platform::FileDialog dialog;
    dialog.filter = QStringLiteral("gyermek VKT vizsg. eredm.|*.kvx|minden fájl|*.*");
    dialog.defaultSuffix = QStringLiteral("kvx");
    dialog.initialFolder = m_session.root().archiveFolder();
    dialog.fileName = m_session.personal().code;
    dialog.overwritePrompt = true;
    const QString path = m_platform.saveFileName(dialog);
    if (path.isEmpty())
        return true;
    return reportFailure(m_platform, [&] {
        // An answer still being typed belongs to the examination being saved.
        m_session.storePendingAnswer();
        ExaminationFile::write(path, m_session.collect());
    });
}

void Commands::showPersonalData() {
    if (!m_windows.personalDataShown())
        m_windows.showPersonalData();
}

bool Commands::evaluateForProtocol(EvaluationResult& result) {
    const int marked = m_session.coding().markedPictureCount();
    if (marked < kMinimumMarkedPictures) {
        m_windows.showTooFewMarked(marked);
        return false;
    }
    return reportFailure(m_platform, [&] { result = m_session.evaluate(); });
}

void Commands::finishedProtocol() {
    EvaluationResult result;
    if (!evaluateForProtocol(result))
        return;
    reportFailure(m_platform, [&] {
        const QString path = m_session.root().protocolFile(m_session.personal().code);
        ProtocolWriter::writeProtocol(path, m_session.personal(), m_session.coding(), result,
                                      m_session.decimalSeparator());
        m_platform.openDocument(path);
    });
}

bool Commands::closeQuery() {
    if (!m_platform.confirm(QStringLiteral("Ki akar lépni a Gyermek VKT programból?")))
        return false;
    if (m_platform.confirm(QStringLiteral("El akarja menteni az aktuális vizsgálatot?")) && !save())
        return false;
    // The answer being typed goes to its file, so the next start finds it in the working folder.
    return reportFailure(m_platform, [this] { m_session.storePendingAnswer(); });
}

void Commands::readStoredPassword() {
    const QString path = m_session.root().passwordStore();
    std::optional<QString> password;
    bool exists = QFile::exists(path);
    try {
        password = PasswordStore::passwordFromLines(TextFile::readLines(path));
    } catch (const UserError&) {
        exists = false;
    }
    if (password) {
        m_session.setProgramPassword(*password);
        return;
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

bool Commands::passwordEntered(const QString& text) {
    if (text != m_session.programPassword())
        return false;
    // The file is tried once; whether it opens or not, the examiner has given the right
    // password and gets the program (an unreadable file must not lock them out).
    if (!m_commandLine.examinationFile.isEmpty() && !m_commandLineFileTried) {
        m_commandLineFileTried = true;
        openFile(m_commandLine.examinationFile);
    }
    return true;
}
