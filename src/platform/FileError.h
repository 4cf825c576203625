#pragma once

#include <QString>
#include <exception>

// The one error a failed file operation raises. It carries the text the user sees in the
// message box ("File not found", "Cannot create file " + path, a malformed-file message, ...).
class FileError : public std::exception {
public:
    explicit FileError(QString text);
    const QString& text() const { return m_text; }
    const char* what() const noexcept override;

    static FileError fileNotFound();
    static FileError cannotCreate(const QString& path);
    static FileError cannotOpen(const QString& path);

private:
    QString m_text;
    QByteArray m_utf8;
};
