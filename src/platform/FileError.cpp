#include "platform/FileError.h"

FileError::FileError(QString text) : m_text(std::move(text)), m_utf8(m_text.toUtf8()) {}

const char* FileError::what() const noexcept {
    return m_utf8.constData();
}

FileError FileError::fileNotFound() {
    return FileError(QStringLiteral("File not found"));
}

FileError FileError::cannotCreate(const QString& path) {
    return FileError(QStringLiteral("Cannot create file ") + path);
}

FileError FileError::cannotOpen(const QString& path) {
    return FileError(QStringLiteral("Cannot open file ") + path);
}
