#include "base/TreeFiles.h"

#include "base/ClosedFolder.h"
#include "base/UserError.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <memory>

#ifdef Q_OS_WIN
#include "base/TemporaryNames.h"

#include <QFileInfo>
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

#ifndef Q_OS_WIN

namespace {

QByteArray local(const QString& path) {
    return QFile::encodeName(path);
}

// The errno of the call that just failed; a failure that set none still fails.
int lastError() {
    return errno != 0 ? errno : EIO;
}

TreeFiles::Status statusOf(const struct stat& st) {
    const TreeFiles::Kind kind = S_ISDIR(st.st_mode)   ? TreeFiles::Kind::Folder
                                 : S_ISLNK(st.st_mode) ? TreeFiles::Kind::Link
                                                       : TreeFiles::Kind::File;
    return {kind,
            static_cast<unsigned>(st.st_mode & 07777),
            {st.st_mtim.tv_sec, st.st_mtim.tv_nsec},
            kind == TreeFiles::Kind::File ? st.st_size : 0,
            static_cast<quint64>(st.st_dev),
            static_cast<quint64>(st.st_ino)};
}

timespec toTimespec(const TreeFiles::Time& time) {
    return {static_cast<time_t>(time.seconds), static_cast<long>(time.nanoseconds)};
}

} // namespace

QList<TreeFiles::Entry> TreeFiles::list(const QString& folder) {
    DIR* dir = ::opendir(local(folder).constData());
    if (!dir)
        throw UserError::cannotOpen(native(folder), errno);
    const std::unique_ptr<DIR, int (*)(DIR*)> closer(dir, ::closedir);
    QList<Entry> entries;
    while (const dirent* e = ::readdir(dir)) {
        const QByteArray name(e->d_name);
        if (name == "." || name == "..")
            continue;
        struct stat st {};
        if (::fstatat(::dirfd(dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            throw UserError::cannotOpen(native(folder + QLatin1Char('/') + QFile::decodeName(name)), errno);
        // Pipes, sockets and devices are no data of the program's.
        if (S_ISDIR(st.st_mode) || S_ISREG(st.st_mode) || S_ISLNK(st.st_mode))
            entries.append({name, statusOf(st)});
    }
    return entries;
}

std::optional<TreeFiles::Status> TreeFiles::status(const QString& path) {
    struct stat st {};
    if (::stat(local(path).constData(), &st) != 0 || !(S_ISDIR(st.st_mode) || S_ISREG(st.st_mode)))
        return std::nullopt;
    return statusOf(st);
}

QByteArray TreeFiles::linkTarget(const QString& path) {
    QByteArray target(PATH_MAX, Qt::Uninitialized);
    const ssize_t n = ::readlink(local(path).constData(), target.data(), static_cast<size_t>(target.size()));
    if (n < 0)
        throw UserError::cannotOpen(native(path), errno);
    target.truncate(n);
    return target;
}

TreeFiles::Reader::Reader(const QString& path) : m_path(path) {
    m_handle = ::open(local(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (m_handle < 0)
        throw UserError::cannotOpen(native(path), errno);
    struct stat st {};
    m_isFile = ::fstat(static_cast<int>(m_handle), &st) == 0 && S_ISREG(st.st_mode);
    m_size = m_isFile ? st.st_size : 0;
}

TreeFiles::Reader::~Reader() {
    ::close(static_cast<int>(m_handle));
}

qint64 TreeFiles::Reader::read(char* buffer, qint64 size) {
    for (;;) {
        const ssize_t n = ::read(static_cast<int>(m_handle), buffer, static_cast<size_t>(size));
        if (n >= 0)
            return n;
        if (errno != EINTR)
            throw UserError::cannotOpen(native(m_path), errno);
    }
}

TreeFiles::Writer::Writer(const QString& path) {
    m_handle = ::open(local(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (m_handle < 0)
        m_error = lastError();
}

TreeFiles::Writer::~Writer() {
    if (m_handle >= 0)
        ::close(static_cast<int>(m_handle));
}

int TreeFiles::Writer::write(const char* data, qint64 size, qint64 offset) {
    while (size > 0) {
        const ssize_t n = ::pwrite(static_cast<int>(m_handle), data, static_cast<size_t>(size), offset);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return lastError();
        // A write that takes nothing means a full disk.
        if (n == 0)
            return ENOSPC;
        data += n;
        size -= n;
        offset += n;
    }
    return 0;
}

int TreeFiles::Writer::finish(qint64 size, unsigned mode, const Time& modified) {
    const int fd = static_cast<int>(m_handle);
    const timespec times[2] = {{0, UTIME_OMIT}, toTimespec(modified)};
    if (::ftruncate(fd, size) != 0 || ::fchmod(fd, mode & 0777) != 0 || ::futimens(fd, times) != 0)
        return lastError();
    return 0;
}

int TreeFiles::makeFolder(const QString& path) {
    return ::mkdir(local(path).constData(), 0700) == 0 || errno == EEXIST ? 0 : lastError();
}

int TreeFiles::makeLink(const QString& path, const QByteArray& target, const Time& modified) {
    const timespec times[2] = {{0, UTIME_OMIT}, toTimespec(modified)};
    if (::symlink(target.constData(), local(path).constData()) != 0 ||
        ::utimensat(AT_FDCWD, local(path).constData(), times, AT_SYMLINK_NOFOLLOW) != 0)
        return lastError();
    return 0;
}

int TreeFiles::setFolder(const QString& path, unsigned mode, const Time& modified) {
    const timespec times[2] = {{0, UTIME_OMIT}, toTimespec(modified)};
    if (::chmod(local(path).constData(), (mode & 0777) | 0700) != 0 ||
        ::utimensat(AT_FDCWD, local(path).constData(), times, 0) != 0)
        return lastError();
    return 0;
}

QString TreeFiles::makeTemporaryFolder(const QString& pattern, int& error) {
    QByteArray name = local(pattern);
    if (!::mkdtemp(name.data())) {
        error = lastError();
        return QString();
    }
    error = 0;
    return QFile::decodeName(name);
}

int TreeFiles::syncAndRename(const QString& folder, const QString& target) {
    const int fd = ::open(local(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return lastError();
    const bool synced = ::syncfs(fd) == 0;
    const int error = synced ? 0 : lastError();
    ::close(fd);
    if (!synced)
        return error;
    return ::rename(local(folder).constData(), local(target).constData()) == 0 ? 0 : lastError();
}

#else

namespace {

const wchar_t* wide(const QString& nativePath) {
    return reinterpret_cast<const wchar_t*>(nativePath.utf16());
}

int lastError() {
    return UserError::fromWindowsError(GetLastError());
}

// FILETIME counts 100 ns from 1601.
constexpr qint64 kEpochDifference = 116444736000000000LL;

TreeFiles::Time fromFileTime(const FILETIME& time) {
    const qint64 ticks =
        ((static_cast<qint64>(time.dwHighDateTime) << 32) | static_cast<qint64>(time.dwLowDateTime)) - kEpochDifference;
    const qint64 seconds = ticks >= 0 ? ticks / 10000000 : (ticks - 9999999) / 10000000;
    return {seconds, (ticks - seconds * 10000000) * 100};
}

FILETIME toFileTime(const TreeFiles::Time& time) {
    const qint64 ticks = time.seconds * 10000000 + time.nanoseconds / 100 + kEpochDifference;
    return {static_cast<DWORD>(ticks & 0xffffffff), static_cast<DWORD>(static_cast<quint64>(ticks) >> 32)};
}

// Sets the time of what is at the path itself, a link not followed.
int setTime(const QString& path, const TreeFiles::Time& modified) {
    const HANDLE h = CreateFileW(wide(native(path)), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return lastError();
    const FILETIME time = toFileTime(modified);
    const int error = SetFileTime(h, nullptr, nullptr, &time) ? 0 : lastError();
    CloseHandle(h);
    return error;
}

// A folder's entry as FindFirstFile describes it; the file's number is not there, and needs
// no asking: with links left out no folder is reached twice.
TreeFiles::Status statusOf(DWORD attributes, const FILETIME& modified, DWORD sizeHigh, DWORD sizeLow) {
    const bool isFolder = attributes & FILE_ATTRIBUTE_DIRECTORY;
    return {isFolder ? TreeFiles::Kind::Folder : TreeFiles::Kind::File,
            isFolder ? 0700u : 0600u,
            fromFileTime(modified),
            isFolder ? 0 : (static_cast<qint64>(sizeHigh) << 32) | sizeLow,
            0,
            0};
}

HANDLE handleOf(qintptr handle) {
    return reinterpret_cast<HANDLE>(handle);
}

} // namespace

QList<TreeFiles::Entry> TreeFiles::list(const QString& folder) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileExW(wide(native(folder + QStringLiteral("/*"))), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE)
        throw UserError::cannotOpen(native(folder), lastError());
    QList<Entry> entries;
    do {
        const QString name = QString::fromWCharArray(found.cFileName);
        // Links and junctions may lead anywhere, and devices hold no data of the program's.
        if (name == QLatin1String(".") || name == QLatin1String("..") ||
            (found.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)))
            continue;
        entries.append({name.toUtf8(), statusOf(found.dwFileAttributes, found.ftLastWriteTime, found.nFileSizeHigh,
                                                found.nFileSizeLow)});
    } while (FindNextFileW(search, &found));
    const DWORD ended = GetLastError();
    FindClose(search);
    if (ended != ERROR_NO_MORE_FILES)
        throw UserError::cannotOpen(native(folder), UserError::fromWindowsError(ended));
    return entries;
}

std::optional<TreeFiles::Status> TreeFiles::status(const QString& path) {
    const HANDLE h = CreateFileW(wide(native(path)), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = GetFileInformationByHandle(h, &info);
    CloseHandle(h);
    if (!known || (info.dwFileAttributes & FILE_ATTRIBUTE_DEVICE))
        return std::nullopt;
    Status status = statusOf(info.dwFileAttributes, info.ftLastWriteTime, info.nFileSizeHigh, info.nFileSizeLow);
    status.device = info.dwVolumeSerialNumber;
    status.file = (static_cast<quint64>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return status;
}

QByteArray TreeFiles::linkTarget(const QString& path) {
    // list() reports no links here.
    throw UserError::cannotOpen(native(path));
}

TreeFiles::Reader::Reader(const QString& path) : m_path(path) {
    // Others may go on reading and replacing the file; a change is noticed by its size.
    const HANDLE h =
        CreateFileW(wide(native(path)), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        throw UserError::cannotOpen(native(path), lastError());
    m_handle = reinterpret_cast<qintptr>(h);
    BY_HANDLE_FILE_INFORMATION info{};
    m_isFile = GetFileInformationByHandle(h, &info) &&
               !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
    m_size = m_isFile ? (static_cast<qint64>(info.nFileSizeHigh) << 32) | info.nFileSizeLow : 0;
}

TreeFiles::Reader::~Reader() {
    CloseHandle(handleOf(m_handle));
}

qint64 TreeFiles::Reader::read(char* buffer, qint64 size) {
    DWORD n = 0;
    if (!ReadFile(handleOf(m_handle), buffer, static_cast<DWORD>(qMin<qint64>(size, 1 << 30)), &n, nullptr))
        throw UserError::cannotOpen(native(m_path), lastError());
    return n;
}

TreeFiles::Writer::Writer(const QString& path) {
    // Its folder's owner-only rights pass to it.
    const HANDLE h =
        CreateFileW(wide(native(path)), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        m_error = lastError();
    else
        m_handle = reinterpret_cast<qintptr>(h);
}

TreeFiles::Writer::~Writer() {
    if (m_handle != -1)
        CloseHandle(handleOf(m_handle));
}

int TreeFiles::Writer::write(const char* data, qint64 size, qint64 offset) {
    while (size > 0) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset & 0xffffffff);
        at.OffsetHigh = static_cast<DWORD>(static_cast<quint64>(offset) >> 32);
        DWORD n = 0;
        if (!WriteFile(handleOf(m_handle), data, static_cast<DWORD>(qMin<qint64>(size, 1 << 30)), &n, &at))
            return lastError();
        if (n == 0)
            return ENOSPC;
        data += n;
        size -= n;
        offset += n;
    }
    return 0;
}

int TreeFiles::Writer::finish(qint64 size, unsigned, const Time& modified) {
    // Windows has no sync of a whole file system: each file goes to the disk as it is finished.
    const HANDLE h = handleOf(m_handle);
    LARGE_INTEGER end{};
    end.QuadPart = size;
    const FILETIME time = toFileTime(modified);
    if (!SetFilePointerEx(h, end, nullptr, FILE_BEGIN) || !SetEndOfFile(h) ||
        !SetFileTime(h, nullptr, nullptr, &time) || !FlushFileBuffers(h))
        return lastError();
    return 0;
}

int TreeFiles::makeFolder(const QString& path) {
    return CreateDirectoryW(wide(native(path)), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS ? 0 : lastError();
}

int TreeFiles::makeLink(const QString& path, const QByteArray& linkTarget, const Time& modified) {
    // Without the right to make links (developer mode or an administrator) this fails, and the
    // restore says so naming the link.
    const QString target = QString::fromUtf8(linkTarget);
    const QString resolved = QFileInfo(path).absolutePath() + QLatin1Char('/') + target;
    const DWORD flags =
        SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE | (QFileInfo(resolved).isDir() ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0);
    if (!CreateSymbolicLinkW(wide(native(path)), wide(native(target)), flags))
        return lastError();
    return setTime(path, modified);
}

int TreeFiles::setFolder(const QString& path, unsigned, const Time& modified) {
    return setTime(path, modified);
}

QString TreeFiles::makeTemporaryFolder(const QString& pattern, int& error) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = TemporaryNames::filled(pattern);
        if (ClosedFolder::makeOne(name)) {
            error = 0;
            return name;
        }
        if (errno != EEXIST)
            break;
    }
    error = errno != 0 ? errno : EEXIST;
    return QString();
}

int TreeFiles::syncAndRename(const QString& folder, const QString& target) {
    // Every file was flushed as it was finished. A folder cannot be renamed over another, so an
    // empty target goes first and comes back when the rename fails.
    const bool hadTarget = QFileInfo(target).isDir();
    if (hadTarget && !RemoveDirectoryW(wide(native(target))))
        return lastError();
    if (MoveFileExW(wide(native(folder)), wide(native(target)), MOVEFILE_WRITE_THROUGH))
        return 0;
    const int error = lastError();
    if (hadTarget)
        CreateDirectoryW(wide(native(target)), nullptr);
    return error;
}

#endif
