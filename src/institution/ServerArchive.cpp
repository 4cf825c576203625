#include "institution/ServerArchive.h"

#include "base/AtomicFile.h"
#include "base/ClosedFolder.h"
#include "base/TextFile.h"
#include "base/UserError.h"
#include "institution/Connection.h"
#include "institution/ExaminationUpload.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace Institution {

namespace {

const char* const kLatest =
    "SELECT e.id, v.id, e.owner_login, e.owner_login = session_user, e.file_name, c.sha256, "
    "to_char(v.uploaded_at AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS.MS\"Z\"'), "
    "(SELECT count(*) FROM gyvkt.version h WHERE h.examination_id = e.id "
    "AND NOT EXISTS (SELECT FROM gyvkt.succession s WHERE s.superseded_id = h.id)), "
    "c.code, c.name, c.sex, c.age, c.exam_date, c.examiner, c.scored, c.gcr_percent, coalesce(c.gcr_class, '') "
    "FROM gyvkt.examination e "
    "CROSS JOIN LATERAL (SELECT v.id, v.content_id, v.uploaded_at FROM gyvkt.version v "
    "WHERE v.examination_id = e.id ORDER BY v.uploaded_at DESC, v.id DESC LIMIT 1) v "
    "JOIN gyvkt.content c ON c.id = v.content_id "
    "ORDER BY e.owner_login, e.file_name";

// The names the server accepts; checked again here, since a name is about to become a path.
bool safeFileName(const QString& name) {
    static const QRegularExpression pattern(QStringLiteral("^[^/\\\\\\x00-\\x1f.][^/\\\\\\x00-\\x1f]{0,250}\\.kvx$"),
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern.match(name).hasMatch();
}

bool safeLogin(const QString& login) {
    static const QRegularExpression pattern(QStringLiteral("^[a-z_][a-z0-9_.@-]{0,62}$"));
    return pattern.match(login).hasMatch() && login != QLatin1String(".") && login != QLatin1String("..");
}

QByteArray sha256(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

const QString kServerCopy = QStringLiteral(".kiszolgalorol");

// "<name>.kiszolgalorol.kvx", or the first numbered one that is free or holds these bytes.
QString conflictPath(const QString& path, const QByteArray& digest) {
    const QString base = path.left(path.size() - 4) + kServerCopy;
    for (int n = 1;; ++n) {
        const QString candidate = base + (n == 1 ? QString() : QStringLiteral("-%1").arg(n)) + QStringLiteral(".kvx");
        if (!QFileInfo::exists(candidate) || sha256(TextFile::readBytes(candidate)) == digest)
            return candidate;
    }
}

} // namespace

bool ServerArchive::isServerCopy(const QString& fileName) {
    static const QRegularExpression pattern(QStringLiteral("\\.kiszolgalorol(-\\d+)?\\.kvx$"),
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern.match(fileName).hasMatch();
}

QString ServerArchive::serverCopyText() {
    return QStringLiteral("a kiszolgáló példánya egy ütközés után, nem töltődik fel: egyesítse a helyi fájllal, "
                          "majd törölje.");
}

QList<ServerExamination> ServerArchive::list(Connection& connection) {
    QList<ServerExamination> all;
    const Rows rows = connection.exec(kLatest);
    for (int r = 0; r < rows.count(); ++r) {
        ServerExamination e;
        e.examination = rows.text(r, 0);
        e.version = rows.text(r, 1);
        e.owner = rows.text(r, 2);
        e.own = rows.boolean(r, 3);
        e.fileName = rows.text(r, 4);
        e.sha256 = rows.bytes(r, 5);
        e.uploadedAt = QDateTime::fromString(rows.text(r, 6), Qt::ISODateWithMs);
        e.currentVersions = static_cast<int>(rows.number(r, 7));
        e.code = rows.text(r, 8);
        e.name = rows.text(r, 9);
        e.boy = rows.text(r, 10) == QLatin1String("boy");
        e.age = static_cast<int>(rows.number(r, 11));
        e.date = rows.text(r, 12);
        e.examiner = rows.text(r, 13);
        e.scored = static_cast<int>(rows.number(r, 14));
        if (const std::optional<qint64> percent = rows.optionalNumber(r, 15))
            e.gcrPercent = static_cast<int>(*percent);
        e.gcrClass = rows.text(r, 16);
        all.append(e);
    }
    return all;
}

QByteArray ServerArchive::fetch(Connection& connection, const QString& version, const QString& client) {
    const Rows rows = connection.exec("SELECT gyvkt.fetch($1, $2)", {Param::text(version), Param::text(client)},
                                      Connection::Format::Binary);
    return rows.bytes(0, 0);
}

QString ServerArchive::placeFor(const ServerExamination& examination) {
    if (!safeFileName(examination.fileName))
        return QString();
    if (examination.own)
        return examination.fileName;
    if (!safeLogin(examination.owner))
        return QString();
    return examination.owner + QLatin1Char('/') + examination.fileName;
}

ServerArchive::PullReport ServerArchive::pull(Connection& connection, const QString& folder, const QString& client) {
    PullReport report;
    QStringList confirmed;
    for (const ServerExamination& examination : list(connection)) {
        const QString place = placeFor(examination);
        if (place.isEmpty())
            continue;
        if (examination.currentVersions > 1)
            report.forked << place;
        const QString path = QDir(folder).filePath(place);
        if (!ClosedFolder::makePath(QFileInfo(path).path()))
            throw UserError::cannotCreate(path, errno);
        QString target = path;
        if (QFileInfo::exists(path)) {
            if (sha256(TextFile::readBytes(path)) == examination.sha256) {
                ++report.unchanged;
                if (examination.own)
                    confirmed << examination.version;
                continue;
            }
            target = conflictPath(path, examination.sha256);
            report.conflicts.append({path, target});
            if (QFileInfo::exists(target))
                continue;
        }
        const QByteArray bytes = fetch(connection, examination.version, client);
        // What arrives is what the server stored: a version whose bytes do not match is not
        // written as if it were the examination.
        if (sha256(bytes) != examination.sha256)
            throw UserError(
                QStringLiteral("A kiszolgálótól kapott fájl nem egyezik a tárolt ellenőrzőösszeggel: %1").arg(place));
        AtomicFile::write(target, bytes);
        if (target == path)
            ++report.written;
    }
    confirmHeld(connection, client, confirmed);
    return report;
}

} // namespace Institution
