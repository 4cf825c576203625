#include "base/UserError.h"

#include "base/TextFile.h"

#include <QDir>

#include <cerrno>
#include <system_error>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

QString withReason(const QString& text, int systemError) {
    const QString why = UserError::reason(systemError);
    return why.isEmpty() ? text : text + QLatin1Char('\n') + why;
}

} // namespace

UserError::UserError(QString text) : m_text(std::move(text)), m_utf8(m_text.toUtf8()) {}

UserError::UserError(const QString& text, int systemError) : UserError(withReason(text, systemError)) {}

const char* UserError::what() const noexcept {
    return m_utf8.constData();
}

QString UserError::reason(int systemError) {
    if (systemError <= 0)
        return QString();
    switch (systemError) {
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return QStringLiteral("Nincs elég hely a lemezen.");
    // A file grown beyond what the file system (FAT's 4 GiB) or a limit on the process allows.
    case EFBIG:
        return QStringLiteral("A fájl túl nagy ehhez a lemezhez.");
    case EACCES:
    case EPERM:
        return QStringLiteral("Nincs jogosultság.");
    case EROFS:
        return QStringLiteral("Csak olvasható a lemez.");
    case ENOENT:
        return QStringLiteral("Nincs ilyen fájl vagy mappa.");
    case EISDIR:
        return QStringLiteral("Mappa, nem fájl.");
    // Windows keeps a file that another program holds open from being replaced.
    case EBUSY:
        return QStringLiteral("A fájlt egy másik program használja.");
    default:
        // The system's text in the user's language where the system has it; unlike strerror()
        // safe on the threads that read an archive.
        return QString::fromLocal8Bit(std::generic_category().message(systemError).c_str());
    }
}

#ifdef Q_OS_WIN
int UserError::fromWindowsError(unsigned long code) {
    switch (code) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_FILE_TOO_LARGE:
        return EFBIG;
    case ERROR_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD:
        return EACCES;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
        return ENOENT;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_DIR_NOT_EMPTY:
        return ENOTEMPTY;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EBUSY;
    default:
        return -1;
    }
}
#endif

// Paths in messages are written as the system writes them: c:\tavrix\gy_vkt on Windows.
UserError UserError::fileNotFound(const QString& path) {
    return UserError(QStringLiteral("File not found: ") + QDir::toNativeSeparators(path));
}

UserError UserError::cannotCreate(const QString& path, int systemError) {
    return UserError(QStringLiteral("Cannot create file ") + QDir::toNativeSeparators(path), systemError);
}

UserError UserError::cannotOpen(const QString& path, int systemError) {
    return UserError(QStringLiteral("Cannot open file ") + QDir::toNativeSeparators(path), systemError);
}

UserError UserError::tooLarge(const QString& path) {
    return UserError(QStringLiteral("A fájl túl nagy (legfeljebb %1 MiB lehet), nem olvasható be: ")
                         .arg(TextFile::kMaxFileSize / (1024 * 1024)) +
                     QDir::toNativeSeparators(path));
}
