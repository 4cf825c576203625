#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Reading and writing the program's 8-bit text files. Every write goes to a temporary file
// in the target folder that is renamed into place, so a failed write leaves the old file.
namespace TextFile {

// Splits text into lines: a CR ends a line and one LF right after it is skipped, a lone LF
// stays inside the line, and Ctrl-Z (character 26) ends the readable text. A final line
// break adds no empty line.
QStringList splitLines(const QString& text);

// Every file the program reads is a small text; anything larger is not one of its files, and
// reading it whole would only exhaust the memory.
constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;

// Whole file as bytes. A missing file raises "File not found: " + path; one that exists but is
// not a regular file (a folder, a pipe, a device) or cannot be read raises "Cannot open file " +
// path, with the system's reason on a second line; one larger than kMaxFileSize is refused
// with a message naming it.
QByteArray readBytes(const QString& path);
// The file's lines after splitLines(); errors as readBytes().
QStringList readLines(const QString& path);
// Like readLines() but every failure, a missing file included, raises "Cannot open file "
// + path: the wording of the windows that load a whole list at once.
QStringList loadLines(const QString& path);

// Text of a file for an editor: CR LF and lone CR become "\n" (lone LF stays "\n").
QString readMemoText(const QString& path);

// Atomic writes (see AtomicFile); a failure anywhere raises "Cannot create file " + path, with
// the reason on a second line, and leaves the old file as it was.
void writeBytes(const QString& path, const QByteArray& bytes);
// Every line followed by CR LF, the last one included.
void writeLines(const QString& path, const QStringList& lines);
// An editor's text exactly, its "\n" written as CR LF, nothing added after the last line.
void writeMemoText(const QString& path, const QString& text);

// Encodes lines the way writeLines() does, for callers that assemble bytes themselves.
QByteArray encodeLines(const QStringList& lines);
QByteArray encodeMemoText(const QString& text);

} // namespace TextFile
