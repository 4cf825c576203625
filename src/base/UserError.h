#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <exception>

// The one error the program raises when a command cannot go on: a file that cannot be read
// or written, a malformed file, an examination the norms cannot judge. It carries the text
// the user sees in the message box ("File not found: " + path, "Cannot create file " + path,
// ...). A file operation that failed in the system says why on a second line.
class UserError : public std::exception {
public:
    explicit UserError(QString text);
    // The text and, on a second line, reason(systemError) when there is one.
    UserError(const QString& text, int systemError);
    const QString& text() const { return m_text; }
    const char* what() const noexcept override;

    // Why a file operation failed, from the system's error number (errno) taken right where it
    // failed: the common reasons in Hungarian, any other in the system's own words; empty for 0
    // or less, when no system call said why.
    static QString reason(int systemError);
#ifdef Q_OS_WIN
    // The errno nearest to a Windows error code (GetLastError()), so that reason() words it the
    // same on every system; -1 for a code it has no words for.
    static int fromWindowsError(unsigned long code);
#endif

    static UserError fileNotFound(const QString& path);
    static UserError cannotCreate(const QString& path, int systemError = 0);
    static UserError cannotOpen(const QString& path, int systemError = 0);
    static UserError tooLarge(const QString& path);

private:
    QString m_text;
    QByteArray m_utf8;
};
