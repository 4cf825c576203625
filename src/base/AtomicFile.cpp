#include "base/AtomicFile.h"

#include "base/BatchJournal.h"
#include "base/FileIdentity.h"
#include "base/TemporaryNames.h"
#include "base/UserError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <utility>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

std::optional<AtomicFile::Fault> g_fault;
std::optional<int> g_stopAfter;

bool faultAt(const QString& path, AtomicFile::Step step) {
    return g_fault && g_fault->step == step && path.endsWith(g_fault->pathSuffix);
}

// A call to the system (the small functions below: one per call, one version per system) with
// the injected fault in the place of its result: a caller that dropped the call's result would
// drop the fault too, and the fault's test would fail. A refused rename leaves the files as they
// were; a sync or close is made all the same, so that no descriptor is left open.
template <typename Call>
int systemCall(const QString& path, AtomicFile::Step step, Call call) {
    if (!faultAt(path, step))
        return call();
    if (step != AtomicFile::Step::Rename)
        call();
    return g_fault->error;
}

// The helpers below that write, sync or rename return the system's error number (errno) of the
// call that failed, taken before anything else runs, or 0: a message that says why must not read
// the errno of the clean-up after the failure. kUnknown stands for a failure with no errno.
constexpr int kUnknown = -1;

// Writes through a symbolic link land in the file it points to, as an editor's save would.
QString resolvedTarget(const QString& path) {
    const QFileInfo info(path);
    return info.isSymLink() ? info.symLinkTarget() : path;
}

// The small functions below are the system calls, one version per system; a file is open as a
// Handle (a descriptor, or a Windows HANDLE) that the header keeps as a qintptr.
#ifndef Q_OS_WIN

using Handle = int;

// The mode the replaced file had; a new file holds children's data and is its owner's alone.
mode_t modeFor(const QByteArray& target) {
    struct stat st {};
    if (::stat(target.constData(), &st) == 0)
        return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0600 & ~mask;
}

// The error of a call that returns 0 on success and -1 with errno set otherwise.
int errorOf(int result) {
    if (result == 0)
        return 0;
    return errno != 0 ? errno : kUnknown;
}

// A new file named by the target's temporary pattern, with the mode the target has; -1 and error
// set when none could be made.
Handle createTemporary(const QString& target, QString& temporary, int& error) {
    QByteArray name = QFile::encodeName(TemporaryNames::pattern(target));
    const int fd = ::mkstemp(name.data());
    error = fd < 0 ? errorOf(-1) : 0;
    if (fd < 0)
        return fd;
    temporary = QFile::decodeName(name);
    error = errorOf(::fchmod(fd, modeFor(QFile::encodeName(target))));
    return fd;
}

// How many bytes one call wrote, or -1 with error set.
qint64 writeSome(Handle fd, const char* data, qint64 size, int& error) {
    for (;;) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n >= 0)
            return n;
        if (errno != EINTR) {
            error = errorOf(-1);
            return -1;
        }
    }
}

int syncFile(Handle fd) {
    return errorOf(::fsync(fd));
}

int closeFile(Handle fd) {
    return errorOf(::close(fd));
}

// Puts from in the place of to in one step, replacing what was there.
int replaceFile(const QString& from, const QString& to) {
    return errorOf(::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()));
}

void syncFolder(const QString& folder) {
    // A folder that cannot be synced is no reason to report a failure: the names are in place.
    const int dir = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

int removeFile(const QString& path) {
    const int error = errorOf(::unlink(QFile::encodeName(path).constData()));
    return error == ENOENT ? 0 : error;
}

// A regular file, not a link or anything else: what a batch may rename onto a target.
bool isRegularFile(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

// A second name for the file a batch is about to replace, so that it can be put back when a
// later file of the batch cannot be renamed into place.
int keepAside(const QString& target, const QString& aside) {
    removeFile(aside);
    return errorOf(::link(QFile::encodeName(target).constData(), QFile::encodeName(aside).constData()));
}

#else

using Handle = HANDLE;

const wchar_t* wide(const QString& nativePath) {
    return reinterpret_cast<const wchar_t*>(nativePath.utf16());
}

int lastError() {
    return UserError::fromWindowsError(GetLastError());
}

// Windows has no mkstemp(): the name is filled in here and the file made only where none is. It
// takes the rights of its folder, which for the data root are its owner's alone.
Handle createTemporary(const QString& target, QString& temporary, int& error) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = TemporaryNames::filled(TemporaryNames::pattern(target));
        const Handle h = CreateFileW(wide(QDir::toNativeSeparators(temporary)), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            error = 0;
            return h;
        }
        if (GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    error = lastError();
    return INVALID_HANDLE_VALUE;
}

qint64 writeSome(Handle h, const char* data, qint64 size, int& error) {
    DWORD n = 0;
    if (WriteFile(h, data, static_cast<DWORD>(std::min<qint64>(size, 1 << 30)), &n, nullptr))
        return n;
    error = lastError();
    return -1;
}

int syncFile(Handle h) {
    return FlushFileBuffers(h) ? 0 : lastError();
}

int closeFile(Handle h) {
    return CloseHandle(h) ? 0 : lastError();
}

// MoveFileEx replaces the target in one step and returns once the move is on the disk. A virus
// scanner that holds a new file for a moment makes it fail at first: it is tried a little longer.
int replaceFile(const QString& from, const QString& to) {
    const QString source = QDir::toNativeSeparators(from);
    const QString target = QDir::toNativeSeparators(to);
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExW(wide(source), wide(target), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return 0;
        const DWORD code = GetLastError();
        if (attempt == 10 || (code != ERROR_ACCESS_DENIED && code != ERROR_SHARING_VIOLATION))
            return UserError::fromWindowsError(code);
        Sleep(50);
    }
}

// MOVEFILE_WRITE_THROUGH made the rename durable already.
void syncFolder(const QString&) {}

int removeFile(const QString& path) {
    if (DeleteFileW(wide(QDir::toNativeSeparators(path))))
        return 0;
    const int error = lastError();
    return error == ENOENT ? 0 : error;
}

bool isRegularFile(const QString& path) {
    const DWORD attributes = GetFileAttributesW(wide(QDir::toNativeSeparators(path)));
    return attributes != INVALID_FILE_ATTRIBUTES &&
           !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE));
}

// A hard link where the file system has them (NTFS), else a copy.
int keepAside(const QString& target, const QString& aside) {
    removeFile(aside);
    const QString from = QDir::toNativeSeparators(target);
    const QString to = QDir::toNativeSeparators(aside);
    if (CreateHardLinkW(wide(to), wide(from), nullptr) || CopyFileW(wide(from), wide(to), TRUE))
        return 0;
    return lastError();
}

#endif

Handle handleOf(qintptr handle) {
#ifdef Q_OS_WIN
    return reinterpret_cast<Handle>(handle);
#else
    return static_cast<Handle>(handle);
#endif
}

qintptr stored(Handle handle) {
#ifdef Q_OS_WIN
    return reinterpret_cast<qintptr>(handle);
#else
    return handle;
#endif
}

void removeTemporary(const QString& temporary) {
    removeFile(temporary);
}

// offset: how much of the file earlier calls wrote (a streamed file).
int writeAll(Handle h, const QString& path, const QByteArray& bytes, qint64 offset = 0) {
    qint64 written = 0;
    const qint64 size = bytes.size();
    // A disk with no room at all refuses even an empty file.
    if (faultAt(path, AtomicFile::Step::Write) && g_fault->roomBytes - offset <= 0)
        return g_fault->error;
    while (written < size) {
        qint64 wanted = size - written;
        if (faultAt(path, AtomicFile::Step::Write)) {
            const qint64 room = g_fault->roomBytes - offset - written;
            if (room <= 0)
                return g_fault->error;
            wanted = std::min(wanted, room);
        }
        int error = 0;
        const qint64 n = writeSome(h, bytes.constData() + written, wanted, error);
        if (n < 0)
            return error;
        // A write that takes nothing means a full disk.
        if (n == 0)
            return ENOSPC;
        written += n;
    }
    return 0;
}

// Writes, syncs and closes a temporary file beside the target; its path, or empty after a
// failure (nothing is left behind then, and error says why).
QString writeTemporary(const QString& path, const QByteArray& bytes, int& error) {
    QString temporary;
    const Handle h = createTemporary(path, temporary, error);
    if (temporary.isEmpty())
        return QString();
    if (error == 0)
        error = writeAll(h, path, bytes);
    if (error == 0)
        error = systemCall(path, AtomicFile::Step::Sync, [h] { return syncFile(h); });
    const int closed = systemCall(path, AtomicFile::Step::Close, [h] { return closeFile(h); });
    if (error == 0)
        error = closed;
    if (error != 0) {
        removeTemporary(temporary);
        return QString();
    }
    return temporary;
}

// The old file back in place; without one (aside empty) the target is removed, as it did not
// exist before the batch.
int putBack(const QString& aside, const QString& target) {
    return aside.isEmpty() ? removeFile(target) : replaceFile(aside, target);
}

// The temporary file in the place of the target; the rename itself is made durable too.
int renameInto(const QString& temporary, const QString& path) {
    if (const int error = systemCall(path, AtomicFile::Step::Rename, [&] { return replaceFile(temporary, path); }))
        return error;
    syncFolder(QFileInfo(path).absolutePath());
    return 0;
}

} // namespace

void AtomicFile::write(const QString& path, const QByteArray& bytes) {
    const QString target = resolvedTarget(path);
    int error = 0;
    const QString temporary = writeTemporary(target, bytes, error);
    if (temporary.isEmpty())
        throw UserError::cannotCreate(path, error);
    if (const int renameError = renameInto(temporary, target)) {
        removeTemporary(temporary);
        throw UserError::cannotCreate(path, renameError);
    }
}

QString AtomicFile::target(const QString& path) {
    return resolvedTarget(path);
}

QString AtomicFile::stage(const QString& path, const QByteArray& bytes) {
    int error = 0;
    const QString temporary = writeTemporary(resolvedTarget(path), bytes, error);
    if (temporary.isEmpty())
        throw UserError::cannotCreate(path, error);
    return temporary;
}

void AtomicFile::rename(const QString& from, const QString& to) {
    if (const int error = renameInto(from, to))
        throw UserError::cannotCreate(to, error);
}

void AtomicFile::keepOld(const QString& path, const QString& aside) {
    if (const int error = ::keepAside(path, aside))
        throw UserError::cannotCreate(aside, error);
    syncFolder(QFileInfo(aside).absolutePath());
}

AtomicFile::Batch::~Batch() {
    discard();
}

void AtomicFile::Batch::discard() {
    for (const QString& temporary : std::as_const(m_temporaries))
        removeTemporary(temporary);
    m_temporaries.clear();
    m_targets.clear();
}

void AtomicFile::Batch::stage(const QString& path, const QByteArray& bytes) {
    const QString target = resolvedTarget(path);
    // A journal names files beside itself only.
    const bool besideJournal =
        m_journal.isEmpty() || QFileInfo(target).absolutePath() == QFileInfo(m_journal).absolutePath();
    int error = 0;
    const QString temporary = besideJournal ? writeTemporary(target, bytes, error) : QString();
    if (temporary.isEmpty()) {
        discard();
        throw UserError::cannotCreate(path, error);
    }
    m_targets.append(target);
    m_temporaries.append(temporary);
}

void AtomicFile::Batch::step() {
    if (g_stopAfter && ++m_steps == *g_stopAfter) {
        // As after a crash, nothing is cleaned up.
        m_temporaries.clear();
        m_targets.clear();
        throw Stopped{};
    }
}

void AtomicFile::Batch::commit() {
    m_steps = 0;
    const qsizetype count = m_targets.size();
    QStringList asides;
    BatchJournal journal;
    for (qsizetype i = 0; i < count; ++i) {
        const QString& target = m_targets.at(i);
        asides.append(QFileInfo::exists(target) ? TemporaryNames::aside(target) : QString());
        journal.entries.append({QFileInfo(target).fileName(), QFileInfo(m_temporaries.at(i)).fileName(),
                                asides.last().isEmpty() ? QString() : QFileInfo(asides.last()).fileName()});
    }
    // Before the first rename nothing has changed: what was made for the batch goes again.
    auto giveUp = [&](const UserError& failure, qsizetype asidesMade) {
        for (qsizetype j = 0; j < asidesMade; ++j) {
            if (!asides.at(j).isEmpty())
                removeTemporary(asides.at(j));
        }
        if (!m_journal.isEmpty())
            QFile::remove(m_journal);
        discard();
        throw failure;
    };
    if (!m_journal.isEmpty()) {
        try {
            write(m_journal, journal.serialize());
        } catch (const UserError& e) {
            giveUp(e, 0);
        }
        step();
    }
    for (qsizetype i = 0; i < count; ++i) {
        if (asides.at(i).isEmpty())
            continue;
        if (const int error = keepAside(m_targets.at(i), asides.at(i)))
            giveUp(UserError::cannotCreate(m_targets.at(i), error), i);
    }
    if (count > 0)
        syncFolder(QFileInfo(m_targets.first()).absolutePath());
    step();
    if (!m_journal.isEmpty()) {
        journal.switching = true;
        try {
            write(m_journal, journal.serialize());
        } catch (const UserError& e) {
            giveUp(e, count);
        }
        step();
    }
    switchFiles(asides);
}

void AtomicFile::Batch::switchFiles(const QStringList& asides) {
    const qsizetype count = m_targets.size();
    for (qsizetype i = 0; i < count; ++i) {
        if (const int error = renameInto(m_temporaries.at(i), m_targets.at(i))) {
            // The files already replaced are put back, so the batch stays all or nothing.
            const UserError failed = UserError::cannotCreate(m_targets.at(i), error);
            for (qsizetype j = 0; j < i; ++j)
                putBack(asides.at(j), m_targets.at(j));
            for (qsizetype j = i; j < count; ++j) {
                if (!asides.at(j).isEmpty())
                    removeTemporary(asides.at(j));
            }
            if (!m_journal.isEmpty())
                QFile::remove(m_journal);
            m_temporaries.remove(0, i);
            m_targets.remove(0, i);
            discard();
            throw failed;
        }
        step();
    }
    m_temporaries.clear();
    m_targets.clear();
    // Once the journal is gone the batch is complete; the old files are only leftovers then.
    if (!m_journal.isEmpty()) {
        QFile::remove(m_journal);
        syncFolder(QFileInfo(m_journal).absolutePath());
        step();
    }
    for (const QString& aside : asides) {
        if (!aside.isEmpty())
            removeTemporary(aside);
    }
    step();
}

AtomicFile::Recovery AtomicFile::finishInterrupted(const QString& journalPath) {
    const QFileInfo info(journalPath);
    if (!info.exists() && !info.isSymLink())
        return Recovery::Nothing;
    std::optional<BatchJournal> journal;
    if (isRegularFile(journalPath) && info.size() <= BatchJournal::kMaxBytes) {
        QFile file(journalPath);
        if (file.open(QIODevice::ReadOnly))
            journal = BatchJournal::parse(file.read(BatchJournal::kMaxBytes + 1));
    }
    if (!journal) {
        // Nothing it names can be trusted: the files stay as they are and the start goes on.
        QFile::remove(journalPath);
        throw UserError(QStringLiteral("A legutóbbi fájlcsere naplója sérült, ezért a csere nem fejezhető be; a "
                                       "napló törölve, ellenőrizze a mellette álló fájlokat: ") +
                        journalPath);
    }
    const QString folder = info.absolutePath() + QLatin1Char('/');
    // Steps of the recovery itself, for the test seam: a crash may come here too.
    int steps = 0;
    const auto step = [&steps] {
        if (g_stopAfter && ++steps == *g_stopAfter)
            throw Stopped{};
    };
    // A file is switched when its new bytes no longer wait beside it and the target is no
    // longer the old file kept aside (or, where there was none, exists now).
    const qsizetype count = journal->entries.size();
    QList<bool> switched(count, false);
    bool complete = true;
    for (qsizetype i = 0; i < count; ++i) {
        const BatchJournal::Entry& e = journal->entries.at(i);
        const bool waiting = isRegularFile(folder + e.temporary);
        if (journal->switching && !waiting) {
            const QString target = folder + e.target;
            switched[i] = e.aside.isEmpty() ? QFileInfo::exists(target) : !FileIdentity::same(target, folder + e.aside);
        }
        complete = complete && (waiting || switched.at(i));
    }
    if (complete && !journal->switching) {
        // Going forward renames staged files onto their targets. A crash among those renames must
        // find a journal that says they may have begun; else the next start would take the renamed
        // files for never staged, undo nothing and leave two examinations' answers mixed.
        journal->switching = true;
        write(journalPath, journal->serialize());
        step();
    }

    int error = 0; // of the first file that could not be switched
    for (qsizetype i = 0; i < count; ++i) {
        const BatchJournal::Entry& e = journal->entries.at(i);
        const QString target = folder + e.target;
        const QString aside = e.aside.isEmpty() ? QString() : folder + e.aside;
        int failed = 0;
        if (complete && !switched.at(i))
            failed = renameInto(folder + e.temporary, target);
        else if (!complete && switched.at(i) && (aside.isEmpty() || isRegularFile(aside)))
            failed = putBack(aside, target);
        if (error == 0)
            error = failed;
        step();
    }
    syncFolder(info.absolutePath());
    if (error != 0)
        throw UserError(QStringLiteral("A legutóbbi fájlcsere nem fejezhető be, a naplója megmaradt: ") + journalPath,
                        error);
    QFile::remove(journalPath);
    syncFolder(info.absolutePath());
    step();
    for (const BatchJournal::Entry& e : std::as_const(journal->entries)) {
        removeTemporary(folder + e.temporary);
        if (!e.aside.isEmpty())
            removeTemporary(folder + e.aside);
    }
    step();
    return complete ? Recovery::RolledForward : Recovery::RolledBack;
}

AtomicFile::Stream::Stream(const QString& path) : m_path(path), m_target(resolvedTarget(path)) {
    int error = 0;
    const Handle h = createTemporary(m_target, m_temporary, error);
    if (m_temporary.isEmpty())
        throw UserError::cannotCreate(path, error);
    m_handle = stored(h);
    if (error != 0)
        fail(error);
}

AtomicFile::Stream::~Stream() {
    if (m_handle != -1)
        closeFile(handleOf(m_handle));
    if (!m_temporary.isEmpty())
        removeTemporary(m_temporary);
}

void AtomicFile::Stream::fail(int error) {
    const UserError failure = UserError::cannotCreate(m_path, error);
    if (m_handle != -1)
        closeFile(handleOf(m_handle));
    m_handle = -1;
    removeTemporary(m_temporary);
    m_temporary.clear();
    throw failure;
}

void AtomicFile::Stream::write(const char* data, qint64 size) {
    // A stream that failed once has said why already.
    if (m_handle == -1)
        fail(kUnknown);
    if (const int error = writeAll(handleOf(m_handle), m_target, QByteArray::fromRawData(data, size), m_size))
        fail(error);
    m_size += size;
}

QString AtomicFile::Stream::stage() {
    if (m_handle == -1)
        fail(kUnknown);
    const Handle h = handleOf(m_handle);
    int error = systemCall(m_target, Step::Sync, [h] { return syncFile(h); });
    if (error != 0)
        fail(error);
    error = systemCall(m_target, Step::Close, [h] { return closeFile(h); });
    m_handle = -1;
    if (error != 0)
        fail(error);
    return std::exchange(m_temporary, QString());
}

void AtomicFile::Stream::commit() {
    const QString temporary = stage();
    if (const int error = renameInto(temporary, m_target)) {
        m_temporary = temporary;
        fail(error);
    }
}

void AtomicFile::injectFault(const std::optional<Fault>& fault) {
    g_fault = fault;
}

void AtomicFile::stopBatchAfter(const std::optional<int>& steps) {
    g_stopAfter = steps;
}
