#include "gui/institution/InstitutionArchiveSide.h"

#include "app/Commands.h"
#include "app/ExamSession.h"
#include "app/InstitutionClient.h"
#include "app/Platform.h"
#include "base/TextFile.h"
#include "base/UserError.h"
#include "institution/ClientIdentity.h"
#include "model/ProtocolGate.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

#include <memory>

using namespace Institution;
using Cell = ArchiveTableModel::InstitutionCell;

namespace {

const QString kForked = QStringLiteral("A kiszolgálón több újabb változata is van (két példányban is módosították); "
                                       "mind megmaradt.");

// A row of the server's list as the archive's columns show it; its path says whose it is.
ArchiveRow rowOf(const ServerExamination& e) {
    ArchiveRow row;
    row.fileName = e.fileName;
    const QString place = ServerArchive::placeFor(e);
    row.path = place.isEmpty() ? e.owner + QLatin1Char('/') + e.fileName : place;
    row.modified = e.uploadedAt;
    row.sha256 = e.sha256;
    row.personal.code = e.code;
    row.personal.name = e.name;
    row.personal.sex = e.boy ? PersonalData::Sex::Boy : PersonalData::Sex::Girl;
    row.personal.age = e.age;
    row.personal.date = e.date;
    row.personal.examiner = e.examiner;
    row.scored = e.scored;
    row.refusal = ProtocolGate::refusal(e.scored, e.age);
    if (e.gcrPercent && row.refusal == ProtocolRefusal::None) {
        row.gcrPercent = *e.gcrPercent;
        row.gcrClass = e.gcrClass;
    }
    row.foldedName = ArchiveListing::fold(row.personal.name);
    row.foldedCode = ArchiveListing::fold(row.personal.code);
    row.foldedExaminer = ArchiveListing::fold(row.personal.examiner);
    row.childKey = ArchiveListing::childKey(row.personal);
    return row;
}

} // namespace

InstitutionArchiveSide::InstitutionArchiveSide(InstitutionClient& client, const ExamSession& session,
                                               Commands& commands, Platform& platform, QObject* parent)
    : ArchiveServerSide(parent), m_client(client), m_session(session), m_commands(commands), m_platform(platform) {
    connect(&client, &InstitutionClient::statesChanged, this, &ArchiveServerSide::localStatesChanged);
}

bool InstitutionArchiveSide::isActive() const {
    return m_client.isConfigured();
}

Cell InstitutionArchiveSide::localCell(const ArchiveRow& row) const {
    if (row.malformed)
        return {QStringLiteral("hiba"), row.error, Cell::Tone::Failed};
    const InstitutionClient::FileState state = m_client.stateOf(row.fileName, row.sha256);
    switch (state.kind) {
    case InstitutionClient::FileState::Kind::Uploaded:
        return {QStringLiteral("feltöltve"),
                state.reason.isEmpty() ? QStringLiteral("A kiszolgáló őrzi ezt a változatot.") : state.reason,
                Cell::Tone::Plain};
    case InstitutionClient::FileState::Kind::Failed:
        return {QStringLiteral("hiba"), state.reason, Cell::Tone::Failed};
    case InstitutionClient::FileState::Kind::Waiting:
        break;
    }
    return {QStringLiteral("vár"), state.reason, Cell::Tone::Waiting};
}

void InstitutionArchiveSide::localRowsShown(const QList<ArchiveRow>& rows) {
    QStringList waiting;
    for (const ArchiveRow& row : rows) {
        if (!row.malformed &&
            m_client.stateOf(row.fileName, row.sha256).kind == InstitutionClient::FileState::Kind::Waiting)
            waiting << row.fileName;
    }
    m_client.uploadWaiting(waiting);
}

void InstitutionArchiveSide::listServer() {
    const int listing = ++m_listing;
    auto listed = std::make_shared<QList<ServerExamination>>();
    m_client.runJob([listed](Connection& connection) { *listed = ServerArchive::list(connection); },
                    [this, listing, listed](const std::optional<ServerFailure>& failure) {
                        if (listing != m_listing)
                            return;
                        if (failure) {
                            emit serverFailed(failure->text.section(QLatin1Char('\n'), 0, 0));
                            return;
                        }
                        m_listed.clear();
                        QList<ArchiveRow> rows;
                        for (const ServerExamination& e : std::as_const(*listed)) {
                            rows << rowOf(e);
                            m_listed.insert(rows.constLast().path, e);
                        }
                        emit serverListed(rows);
                    });
}

Cell InstitutionArchiveSide::serverCell(const ArchiveRow& row) const {
    const auto e = m_listed.constFind(row.path);
    if (e == m_listed.constEnd())
        return {};
    QString tooltip =
        QStringLiteral("Feltöltve: %1").arg(e->uploadedAt.toLocalTime().toString(QStringLiteral("yyyy.MM.dd. HH:mm")));
    if (e->currentVersions > 1)
        tooltip += QLatin1Char('\n') + kForked;
    return {e->own ? QStringLiteral("saját") : e->owner, tooltip, Cell::Tone::Plain};
}

void InstitutionArchiveSide::openServerRow(const ArchiveRow& row) {
    const auto found = m_listed.constFind(row.path);
    if (found == m_listed.constEnd() || m_opening)
        return;
    const ServerExamination examination = *found;
    if (ServerArchive::placeFor(examination).isEmpty()) {
        m_platform.message(QStringLiteral("A kiszolgálón tárolt vizsgálat fájlneve (%1) ezen a gépen nem használható "
                                          "fájlnévként, ezért nem nyitható meg.")
                               .arg(examination.fileName));
        return;
    }
    m_opening = true;
    const QString client = clientIdentity(m_session.root().archiveFolder());
    auto bytes = std::make_shared<QByteArray>();
    m_client.runJob(
        [examination, client, bytes](Connection& connection) {
            *bytes = ServerArchive::fetch(connection, examination.version, client);
            // What arrives is what the server stored, or it is not opened as the examination.
            if (QCryptographicHash::hash(*bytes, QCryptographicHash::Sha256) != examination.sha256)
                throw UserError(QStringLiteral("A kiszolgálótól kapott fájl nem egyezik a tárolt ellenőrzőösszeggel: "
                                               "%1")
                                    .arg(examination.fileName));
        },
        [this, examination, bytes](const std::optional<ServerFailure>& failure) {
            m_opening = false;
            if (failure)
                m_platform.message(failure->text);
            else
                received(examination, *bytes);
        });
}

void InstitutionArchiveSide::received(const ServerExamination& examination, const QByteArray& bytes) {
    const QString path = QDir(m_session.root().archiveFolder()).filePath(ServerArchive::placeFor(examination));
    QString target = path;
    try {
        if (QFileInfo::exists(path) && TextFile::readBytes(path) != bytes) {
            const QString copy = ServerArchive::serverCopyPath(path, examination.sha256);
            const bool server = m_platform.confirm(
                QStringLiteral("Az archívumban már van egy %1 nevű fájl, és nem egyezik a kiszolgálóéval.\n\n"
                               "Igen: a kiszolgáló példányát nyitja meg; a program a helyi mellé írja (%2), a helyi "
                               "fájl nem változik.\n"
                               "Nem: a helyi fájlt nyitja meg.")
                    .arg(QDir::toNativeSeparators(path), QFileInfo(copy).fileName()));
            if (!server) {
                if (m_commands.openFile(path))
                    emit serverRowOpened();
                return;
            }
            target = copy;
        }
    } catch (const UserError& e) {
        m_platform.message(e.text());
        return;
    }
    if (m_commands.openReceived(target, bytes))
        emit serverRowOpened();
}
