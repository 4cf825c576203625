#include "base/UserError.h"

#include "base/TextFile.h"

#include <cerrno>
#include <system_error>

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
    default:
        // The system's text in the user's language where the system has it; unlike strerror()
        // safe on the threads that read an archive.
        return QString::fromLocal8Bit(std::generic_category().message(systemError).c_str());
    }
}

UserError UserError::fileNotFound(const QString& path) {
    return UserError(QStringLiteral("File not found: ") + path);
}

UserError UserError::cannotCreate(const QString& path, int systemError) {
    return UserError(QStringLiteral("Cannot create file ") + path, systemError);
}

UserError UserError::cannotOpen(const QString& path, int systemError) {
    return UserError(QStringLiteral("Cannot open file ") + path, systemError);
}

UserError UserError::tooLarge(const QString& path) {
    return UserError(QStringLiteral("A fájl túl nagy (legfeljebb %1 MiB lehet), nem olvasható be: ")
                         .arg(TextFile::kMaxFileSize / (1024 * 1024)) +
                     path);
}
