#pragma once

#include <QString>
#include <QStringList>

// The text files behind the help, marking-help, example and instruction windows, and the
// rule that keeps mouse movement over the marking window from re-reading them: a window
// remembers the path it asked for last and asks again only for another path.
namespace HelpTexts {

// An editor's text as a list of lines: split at "\n", a final line break adds no empty line.
QStringList memoLines(const QString& text);
// Lines as an editor shows them.
QString memoText(const QStringList& lines);

// The file's lines, counted as one read. Raises UserError like TextFile::readLines.
QStringList readLines(const QString& path);
// Files read through readLines() since the program started.
int readCount();

// The single line an examples window shows for a combination without an example.
QString combinationHeading(int picture, const QString& combination);

// The path a window asked for last, and whether asking for a path needs a read at all.
class CurrentFile {
public:
    enum class Result {
        Unchanged, // the same path as last time: nothing was read
        Loaded,    // the file was read into lines()
        Missing,   // no such file; lines() is empty
    };

    // Makes path the current one, in every case, and reads it unless it was already current.
    // A file that exists but cannot be read raises UserError, after the path became current.
    Result request(const QString& path);

    const QString& path() const { return m_path; }
    const QStringList& lines() const { return m_lines; }

private:
    QString m_path;
    QStringList m_lines;
};

} // namespace HelpTexts
