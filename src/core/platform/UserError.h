#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// The one error the program raises when a command cannot go on: a file that cannot be read
// or written, a malformed file, an examination the norms cannot judge. It carries the text
// the user sees in the message box ("File not found", "Cannot create file " + path, ...).
class UserError : public std::exception {
public:
    explicit UserError(QString text);
    const QString& text() const { return m_text; }
    const char* what() const noexcept override;

    static UserError fileNotFound();
    static UserError cannotCreate(const QString& path);
    static UserError cannotOpen(const QString& path);
    static UserError tooLarge(const QString& path);

private:
    QString m_text;
    QByteArray m_utf8;
};
