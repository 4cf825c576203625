#include "core/platform/UserError.h"

#include "core/platform/TextFile.h"

UserError::UserError(QString text) : m_text(std::move(text)), m_utf8(m_text.toUtf8()) {}

const char* UserError::what() const noexcept {
    return m_utf8.constData();
}

UserError UserError::fileNotFound() {
    return UserError(QStringLiteral("File not found"));
}

UserError UserError::cannotCreate(const QString& path) {
    return UserError(QStringLiteral("Cannot create file ") + path);
}

UserError UserError::cannotOpen(const QString& path) {
    return UserError(QStringLiteral("Cannot open file ") + path);
}

UserError UserError::tooLarge(const QString& path) {
    return UserError(QStringLiteral("A fájl túl nagy (legfeljebb %1 MiB lehet), nem olvasható be: ")
                         .arg(TextFile::kMaxFileSize / (1024 * 1024)) +
                     path);
}
