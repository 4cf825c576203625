#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The file-system work of copying a folder tree out and back, the same on every system: listing
// a folder without following links, reading a file that must not change while it is read, and
// writing files, folders and links back with the modes and times they had. Functions that write
// return the system's error number (errno; on Windows its nearest errno) of the call that
// failed, or 0, so that the caller names the file as the user knows it.
namespace TreeFiles {

enum class Kind { File, Folder, Link };

// A modification time as seconds and nanoseconds since 1970.
struct Time {
    qint64 seconds = 0;
    qint64 nanoseconds = 0;
};

// What is at a path.
struct Status {
    Kind kind = Kind::File;
    unsigned mode = 0; // the permission bits; on Windows those of a file or folder of its owner's alone
    Time modified;
    qint64 size = 0; // of a file
    // The same pair is the same file (a folder reached again through a link).
    quint64 device = 0;
    quint64 file = 0;
};

struct Entry {
    QByteArray name; // as the file system names it (UTF-8 on Windows)
    Status status;
};

// The folder's folders, regular files and symbolic links, links not followed. Pipes, sockets,
// devices (on Windows every link and junction too) are no data and are left out. Raises
// UserError naming what could not be read.
QList<Entry> list(const QString& folder);

// What is at the path, links followed; none when it is neither a folder nor a regular file.
std::optional<Status> status(const QString& path);

// What the link at path names, as it is written; raises UserError when it cannot be read.
QByteArray linkTarget(const QString& path);

// One regular file opened for reading, a link never followed.
class Reader {
public:
    // Raises UserError (cannotOpen) naming path.
    explicit Reader(const QString& path);
    ~Reader();
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    // False when something other than a regular file is at the path now.
    bool isFile() const { return m_isFile; }
    qint64 size() const { return m_size; }
    // How many bytes were read, 0 at the end; raises UserError naming the path.
    qint64 read(char* buffer, qint64 size);

private:
    QString m_path;
    qintptr m_handle = -1;
    bool m_isFile = false;
    qint64 m_size = 0;
};

// A new file, never one that exists and never through a link, open to its owner only.
class Writer {
public:
    explicit Writer(const QString& path);
    ~Writer();
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    // Why the file could not be created, or 0.
    int error() const { return m_error; }
    int write(const char* data, qint64 size, qint64 offset);
    // Cuts the file to its size and gives it its mode and time.
    int finish(qint64 size, unsigned mode, const Time& modified);

private:
    qintptr m_handle = -1;
    int m_error = 0;
};

// A folder open to its owner only; one that exists already is no error.
int makeFolder(const QString& path);
int makeLink(const QString& path, const QByteArray& target, const Time& modified);
// The folder's mode (its owner keeps every right to it) and time.
int setFolder(const QString& path, unsigned mode, const Time& modified);

// A new folder open to its owner only, named by pattern with its trailing XXXXXX made unique;
// empty with error set when none could be made.
QString makeTemporaryFolder(const QString& pattern, int& error);
// Everything written below the folder on the disk, then the folder renamed to target, which
// does not exist or is an empty folder.
int syncAndRename(const QString& folder, const QString& target);

} // namespace TreeFiles
