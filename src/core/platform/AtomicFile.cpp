#include "core/platform/AtomicFile.h"

#include "core/platform/BatchJournal.h"
#include "core/platform/FileIdentity.h"
#include "core/platform/TemporaryNames.h"
#include "core/platform/UserError.h"

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

// offset: how much of the file earlier calls wrote (a streamed file).
bool writeAll(int fd, const QString& path, const QByteArray& bytes, qint64 offset = 0) {
    qint64 written = 0;
    const qint64 size = bytes.size();
    // A disk with no room at all refuses even an empty file.
    if (faultAt(path, AtomicFile::Step::Write) && g_fault->roomBytes - offset <= 0) {
        errno = ENOSPC;
        return false;
    }
    while (written < size) {
        qint64 wanted = size - written;
        if (faultAt(path, AtomicFile::Step::Write)) {
            const qint64 room = g_fault->roomBytes - offset - written;
            if (room <= 0) {
                errno = ENOSPC;
                return false;
            }
            wanted = std::min(wanted, room);
        }
        const ssize_t n = ::write(fd, bytes.constData() + written, static_cast<size_t>(wanted));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        written += n;
    }
    return true;
}

// Writes, syncs and closes a temporary file beside the target; its path, or empty after a
// failure (nothing is left behind then).
QString writeTemporary(const QString& path, const QByteArray& bytes) {
    QByteArray temporary = QFile::encodeName(TemporaryNames::pattern(path));
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return QString();
    bool ok = ::fchmod(fd, modeFor(QFile::encodeName(path))) == 0;
    ok = ok && writeAll(fd, path, bytes);
    ok = ok && !faultAt(path, AtomicFile::Step::Sync) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    ok = ok && closed && !faultAt(path, AtomicFile::Step::Close);
    if (!ok) {
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

bool renameInto(const QString& temporary, const QString& path) {
    if (faultAt(path, AtomicFile::Step::Rename) ||
        ::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) != 0)
        return false;
    // The rename itself is made durable too.
    syncFolder(QFileInfo(path).absolutePath());
    return true;
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
// later file of the batch cannot be renamed into place. False when it could not be made.
bool keepAside(const QString& target, const QString& aside) {
    ::unlink(QFile::encodeName(aside).constData());
    return ::link(QFile::encodeName(target).constData(), QFile::encodeName(aside).constData()) == 0;
}

// The old file back in place; without one (aside empty) the target is removed, as it did not
// exist before the batch.
bool putBack(const QString& aside, const QString& target) {
    if (aside.isEmpty())
        return ::unlink(QFile::encodeName(target).constData()) == 0 || errno == ENOENT;
    return ::rename(QFile::encodeName(aside).constData(), QFile::encodeName(target).constData()) == 0;
}

#else

// Windows: an unbuffered file reports a refused write at once, and MoveFileEx replaces the
// target in one step.
QString writeTemporary(const QString& path, const QByteArray& bytes) {
    const QString temporary = path + QStringLiteral(".tmp");
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return QString();
    bool ok = !faultAt(path, AtomicFile::Step::Write) && file.write(bytes) == bytes.size();
    ok = ok && !faultAt(path, AtomicFile::Step::Sync) && file.flush();
    file.close();
    ok = ok && file.error() == QFileDevice::NoError && !faultAt(path, AtomicFile::Step::Close);
    if (!ok) {
        QFile::remove(temporary);
        return QString();
    }
    return temporary;
}

bool renameInto(const QString& temporary, const QString& path) {
    if (faultAt(path, AtomicFile::Step::Rename))
        return false;
    const QString from = QDir::toNativeSeparators(temporary);
    const QString to = QDir::toNativeSeparators(path);
    return MoveFileExW(reinterpret_cast<const wchar_t*>(from.utf16()), reinterpret_cast<const wchar_t*>(to.utf16()),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void removeTemporary(const QString& temporary) {
    QFile::remove(temporary);
}

void syncFolder(const QString&) {}

bool isRegularFile(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && !info.isSymLink();
}

bool keepAside(const QString& target, const QString& aside) {
    QFile::remove(aside);
    return QFile::copy(target, aside);
}

bool putBack(const QString& aside, const QString& target) {
    if (aside.isEmpty())
        return QFile::remove(target) || !QFileInfo::exists(target);
    return renameInto(aside, target);
}

#endif

} // namespace

void AtomicFile::write(const QString& path, const QByteArray& bytes) {
    const QString target = resolvedTarget(path);
    const QString temporary = writeTemporary(target, bytes);
    if (temporary.isEmpty())
        throw UserError::cannotCreate(path);
    if (!renameInto(temporary, target)) {
        removeTemporary(temporary);
        throw UserError::cannotCreate(path);
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
    const QString temporary = besideJournal ? writeTemporary(target, bytes) : QString();
    if (temporary.isEmpty()) {
        discard();
        throw UserError::cannotCreate(path);
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
    auto giveUp = [&](const QString& failed, qsizetype asidesMade) {
        for (qsizetype j = 0; j < asidesMade; ++j) {
            if (!asides.at(j).isEmpty())
                removeTemporary(asides.at(j));
        }
        if (!m_journal.isEmpty())
            QFile::remove(m_journal);
        discard();
        throw UserError::cannotCreate(failed);
    };
    if (!m_journal.isEmpty()) {
        try {
            write(m_journal, journal.serialize());
        } catch (const UserError&) {
            giveUp(m_journal, 0);
        }
        step();
    }
    for (qsizetype i = 0; i < count; ++i) {
        if (!asides.at(i).isEmpty() && !keepAside(m_targets.at(i), asides.at(i)))
            giveUp(m_targets.at(i), i);
    }
    if (count > 0)
        syncFolder(QFileInfo(m_targets.first()).absolutePath());
    step();
    if (!m_journal.isEmpty()) {
        journal.switching = true;
        try {
            write(m_journal, journal.serialize());
        } catch (const UserError&) {
            giveUp(m_journal, count);
        }
        step();
    }
    switchFiles(asides);
}

void AtomicFile::Batch::switchFiles(const QStringList& asides) {
    const qsizetype count = m_targets.size();
    for (qsizetype i = 0; i < count; ++i) {
        if (!renameInto(m_temporaries.at(i), m_targets.at(i))) {
            // The files already replaced are put back, so the batch stays all or nothing.
            const QString failed = m_targets.at(i);
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
            throw UserError::cannotCreate(failed);
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

    bool ok = true;
    for (qsizetype i = 0; i < count; ++i) {
        const BatchJournal::Entry& e = journal->entries.at(i);
        const QString target = folder + e.target;
        const QString aside = e.aside.isEmpty() ? QString() : folder + e.aside;
        if (complete && !switched.at(i))
            ok = renameInto(folder + e.temporary, target) && ok;
        else if (!complete && switched.at(i) && (aside.isEmpty() || isRegularFile(aside)))
            ok = putBack(aside, target) && ok;
    }
    syncFolder(info.absolutePath());
    if (!ok)
        throw UserError(QStringLiteral("A legutóbbi fájlcsere nem fejezhető be, a naplója megmaradt: ") + journalPath);
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
        throw UserError::cannotCreate(path);
    m_temporary = QFile::decodeName(temporary);
    if (::fchmod(m_fd, modeFor(QFile::encodeName(m_target))) != 0)
        fail();
}

AtomicFile::Stream::~Stream() {
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_temporary.isEmpty())
        removeTemporary(m_temporary);
}

void AtomicFile::Stream::fail() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    removeTemporary(m_temporary);
    m_temporary.clear();
    throw UserError::cannotCreate(m_path);
}

void AtomicFile::Stream::write(const char* data, qint64 size) {
    if (m_fd < 0 || !writeAll(m_fd, m_target, QByteArray::fromRawData(data, size), m_size))
        fail();
    m_size += size;
}

void AtomicFile::Stream::commit() {
    if (m_fd < 0 || faultAt(m_target, Step::Sync) || ::fsync(m_fd) != 0)
        fail();
    const bool closed = ::close(m_fd) == 0;
    m_fd = -1;
    if (!closed || faultAt(m_target, Step::Close) || !renameInto(m_temporary, m_target))
        fail();
    m_temporary.clear();
}

#else

AtomicFile::Stream::Stream(const QString& path) : m_path(path), m_target(resolvedTarget(path)) {
    m_temporary = m_target + QStringLiteral(".tmp");
    m_file = std::make_unique<QFile>(m_temporary);
    if (!m_file->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        fail();
}

AtomicFile::Stream::~Stream() {
    m_file.reset();
    if (!m_temporary.isEmpty())
        removeTemporary(m_temporary);
}

void AtomicFile::Stream::fail() {
    m_file.reset();
    removeTemporary(m_temporary);
    m_temporary.clear();
    throw UserError::cannotCreate(m_path);
}

void AtomicFile::Stream::write(const char* data, qint64 size) {
    if (!m_file || faultAt(m_target, Step::Write) || m_file->write(data, size) != size)
        fail();
    m_size += size;
}

void AtomicFile::Stream::commit() {
    if (!m_file || faultAt(m_target, Step::Sync) || !m_file->flush())
        fail();
    m_file->close();
    const bool closed = m_file->error() == QFileDevice::NoError;
    m_file.reset();
    if (!closed || faultAt(m_target, Step::Close) || !renameInto(m_temporary, m_target))
        fail();
    m_temporary.clear();
}

#endif

void AtomicFile::injectFault(const std::optional<Fault>& fault) {
    g_fault = fault;
}

void AtomicFile::stopBatchAfter(const std::optional<int>& steps) {
    g_stopAfter = steps;
}
