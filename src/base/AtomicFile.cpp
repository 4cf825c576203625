#include "base/AtomicFile.h"

#include "base/BatchJournal.h"
#include "base/FileIdentity.h"
#include "base/TemporaryNames.h"
#include "base/UserError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

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

#ifndef Q_OS_WIN

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

int syncFile(int fd) {
    return errorOf(::fsync(fd));
}

int closeFile(int fd) {
    return errorOf(::close(fd));
}

// Puts from in the place of to in one step, replacing what was there.
int replaceFile(const QString& from, const QString& to) {
    return errorOf(::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()));
}

// offset: how much of the file earlier calls wrote (a streamed file).
int writeAll(int fd, const QString& path, const QByteArray& bytes, qint64 offset = 0) {
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
        const ssize_t n = ::write(fd, bytes.constData() + written, static_cast<size_t>(wanted));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errorOf(-1);
        }
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
    QByteArray temporary = QFile::encodeName(TemporaryNames::pattern(path));
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        error = errorOf(-1);
        return QString();
    }
    error = errorOf(::fchmod(fd, modeFor(QFile::encodeName(path))));
    if (error == 0)
        error = writeAll(fd, path, bytes);
    if (error == 0)
        error = systemCall(path, AtomicFile::Step::Sync, [fd] { return syncFile(fd); });
    const int closed = systemCall(path, AtomicFile::Step::Close, [fd] { return closeFile(fd); });
    if (error == 0)
        error = closed;
    if (error != 0) {
        ::unlink(temporary.constData());
        return QString();
    }
    return QFile::decodeName(temporary);
}

void syncFolder(const QString& folder) {
    // A folder that cannot be synced is no reason to report a failure: the names are in place.
    const int dir = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

void removeTemporary(const QString& temporary) {
    ::unlink(QFile::encodeName(temporary).constData());
}

// A regular file, not a link or anything else: what a batch may rename onto a target.
bool isRegularFile(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

// A second name for the file a batch is about to replace, so that it can be put back when a
// later file of the batch cannot be renamed into place.
int keepAside(const QString& target, const QString& aside) {
    ::unlink(QFile::encodeName(aside).constData());
    return errorOf(::link(QFile::encodeName(target).constData(), QFile::encodeName(aside).constData()));
}

// The old file back in place; without one (aside empty) the target is removed, as it did not
// exist before the batch.
int putBack(const QString& aside, const QString& target) {
    if (aside.isEmpty()) {
        const int error = errorOf(::unlink(QFile::encodeName(target).constData()));
        return error == ENOENT ? 0 : error;
    }
    return replaceFile(aside, target);
}

#else

// Windows: an unbuffered file reports a refused write at once, and MoveFileEx replaces the
// target in one step. QFile keeps no errno, so only an injected fault says why.
int syncFile(QFile& file) {
    return file.flush() ? 0 : kUnknown;
}

int closeFile(QFile& file) {
    file.close();
    return file.error() == QFileDevice::NoError ? 0 : kUnknown;
}

QString writeTemporary(const QString& path, const QByteArray& bytes, int& error) {
    const QString temporary = path + QStringLiteral(".tmp");
    QFile file(temporary);
    error = kUnknown;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return QString();
    if (faultAt(path, AtomicFile::Step::Write))
        error = g_fault->error;
    else
        error = file.write(bytes) == bytes.size() ? 0 : kUnknown;
    if (error == 0)
        error = systemCall(path, AtomicFile::Step::Sync, [&file] { return syncFile(file); });
    const int closed = systemCall(path, AtomicFile::Step::Close, [&file] { return closeFile(file); });
    if (error == 0)
        error = closed;
    if (error != 0) {
        QFile::remove(temporary);
        return QString();
    }
    return temporary;
}

int replaceFile(const QString& from, const QString& to) {
    const QString source = QDir::toNativeSeparators(from);
    const QString target = QDir::toNativeSeparators(to);
    return MoveFileExW(reinterpret_cast<const wchar_t*>(source.utf16()),
                       reinterpret_cast<const wchar_t*>(target.utf16()),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0
               ? 0
               : kUnknown;
}

void removeTemporary(const QString& temporary) {
    QFile::remove(temporary);
}

void syncFolder(const QString&) {}

bool isRegularFile(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && !info.isSymLink();
}

int keepAside(const QString& target, const QString& aside) {
    QFile::remove(aside);
    return QFile::copy(target, aside) ? 0 : kUnknown;
}

int putBack(const QString& aside, const QString& target) {
    if (aside.isEmpty())
        return QFile::remove(target) || !QFileInfo::exists(target) ? 0 : kUnknown;
    return replaceFile(aside, target);
}

#endif

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
    }
    syncFolder(info.absolutePath());
    if (error != 0)
        throw UserError(QStringLiteral("A legutóbbi fájlcsere nem fejezhető be, a naplója megmaradt: ") + journalPath,
                        error);
    QFile::remove(journalPath);
    syncFolder(info.absolutePath());
    for (const BatchJournal::Entry& e : std::as_const(journal->entries)) {
        removeTemporary(folder + e.temporary);
        if (!e.aside.isEmpty())
            removeTemporary(folder + e.aside);
    }
    return complete ? Recovery::RolledForward : Recovery::RolledBack;
}

#ifndef Q_OS_WIN

AtomicFile::Stream::Stream(const QString& path) : m_path(path), m_target(resolvedTarget(path)) {
    QByteArray temporary = QFile::encodeName(TemporaryNames::pattern(m_target));
    m_fd = ::mkstemp(temporary.data());
    if (m_fd < 0)
        throw UserError::cannotCreate(path, errorOf(-1));
    m_temporary = QFile::decodeName(temporary);
    if (const int error = errorOf(::fchmod(m_fd, modeFor(QFile::encodeName(m_target)))))
        fail(error);
}

AtomicFile::Stream::~Stream() {
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_temporary.isEmpty())
        removeTemporary(m_temporary);
}

void AtomicFile::Stream::fail(int error) {
    const UserError failure = UserError::cannotCreate(m_path, error);
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    removeTemporary(m_temporary);
    m_temporary.clear();
    throw failure;
}

void AtomicFile::Stream::write(const char* data, qint64 size) {
    // A stream that failed once has said why already.
    if (m_fd < 0)
        fail(kUnknown);
    if (const int error = writeAll(m_fd, m_target, QByteArray::fromRawData(data, size), m_size))
        fail(error);
    m_size += size;
}

void AtomicFile::Stream::commit() {
    if (m_fd < 0)
        fail(kUnknown);
    const int fd = m_fd;
    int error = systemCall(m_target, Step::Sync, [fd] { return syncFile(fd); });
    if (error != 0)
        fail(error);
    error = systemCall(m_target, Step::Close, [fd] { return closeFile(fd); });
    m_fd = -1;
    if (error == 0)
        error = renameInto(m_temporary, m_target);
    if (error != 0)
        fail(error);
    m_temporary.clear();
}

#else

AtomicFile::Stream::Stream(const QString& path) : m_path(path), m_target(resolvedTarget(path)) {
    m_temporary = m_target + QStringLiteral(".tmp");
    m_file = std::make_unique<QFile>(m_temporary);
    if (!m_file->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        fail(kUnknown);
}

AtomicFile::Stream::~Stream() {
    m_file.reset();
    if (!m_temporary.isEmpty())
        removeTemporary(m_temporary);
}

void AtomicFile::Stream::fail(int error) {
    m_file.reset();
    removeTemporary(m_temporary);
    m_temporary.clear();
    throw UserError::cannotCreate(m_path, error);
}

void AtomicFile::Stream::write(const char* data, qint64 size) {
    if (faultAt(m_target, Step::Write))
        fail(g_fault->error);
    if (!m_file || m_file->write(data, size) != size)
        fail(kUnknown);
    m_size += size;
}

void AtomicFile::Stream::commit() {
    if (!m_file)
        fail(kUnknown);
    QFile& file = *m_file;
    if (const int error = systemCall(m_target, Step::Sync, [&file] { return syncFile(file); }))
        fail(error);
    const int closed = systemCall(m_target, Step::Close, [&file] { return closeFile(file); });
    m_file.reset();
    if (closed != 0)
        fail(closed);
    if (const int error = renameInto(m_temporary, m_target))
        fail(error);
    m_temporary.clear();
}

#endif

void AtomicFile::injectFault(const std::optional<Fault>& fault) {
    g_fault = fault;
}

void AtomicFile::stopBatchAfter(const std::optional<int>& steps) {
    g_stopAfter = steps;
}
