#include "base/FileIdentity.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {

#ifdef Q_OS_WIN
// The volume and the file's number on it: what a hard link shares with its other names.
struct Identity {
    DWORD volume = 0;
    DWORD high = 0;
    DWORD low = 0;
    bool operator==(const Identity& o) const { return volume == o.volume && high == o.high && low == o.low; }
};

bool identify(const QString& path, Identity& identity) {
    const QString native = QDir::toNativeSeparators(path);
    // Neither read nor write access is needed to ask; folders open only with backup semantics.
    const HANDLE h = CreateFileW(reinterpret_cast<const wchar_t*>(native.utf16()), 0,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool ok = GetFileInformationByHandle(h, &info);
    CloseHandle(h);
    identity = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    return ok;
}
#endif

} // namespace

bool FileIdentity::same(const QString& a, const QString& b) {
    const QFileInfo x(a);
    const QFileInfo y(b);
    if (!x.exists() || !y.exists())
        return QDir::cleanPath(x.absoluteFilePath()) == QDir::cleanPath(y.absoluteFilePath());
#ifdef Q_OS_WIN
    Identity ix;
    Identity iy;
    return identify(a, ix) && identify(b, iy) && ix == iy;
#else
    struct stat sx {};
    struct stat sy {};
    return ::stat(QFile::encodeName(a).constData(), &sx) == 0 && ::stat(QFile::encodeName(b).constData(), &sy) == 0 &&
           sx.st_dev == sy.st_dev && sx.st_ino == sy.st_ino;
#endif
}

QString FileIdentity::overwrittenInput(const QString& output, const QStringList& inputs) {
    for (const QString& input : inputs) {
        if (same(output, input))
            return input;
    }
    return QString();
}

namespace {

// The path with every link resolved, as far as it exists; the rest of the names added as they are.
QString resolved(const QString& path) {
    QFileInfo info(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    QStringList rest;
    while (!info.exists() && !info.isRoot()) {
        rest.prepend(info.fileName());
        info = QFileInfo(info.absolutePath());
    }
    QString real = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    for (const QString& name : std::as_const(rest))
        real += (real.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/")) + name;
    return QDir::cleanPath(real);
}

} // namespace

bool FileIdentity::isInside(const QString& path, const QString& place) {
    const QString where = resolved(path);
    const QString folder = resolved(place);
#ifdef Q_OS_WIN
    const Qt::CaseSensitivity cs = Qt::CaseInsensitive;
#else
    const Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif
    return where.compare(folder, cs) == 0 ||
           where.startsWith(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'), cs);
}

QString FileIdentity::key(const QString& path) {
#ifdef Q_OS_WIN
    Identity identity;
    if (!identify(path, identity))
        return QString();
    return QStringLiteral("%1:%2:%3").arg(identity.volume).arg(identity.high).arg(identity.low);
#else
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return QString();
    return QStringLiteral("%1:%2").arg(st.st_dev).arg(st.st_ino);
#endif
}
