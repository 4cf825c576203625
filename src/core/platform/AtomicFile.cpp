#include "core/platform/AtomicFile.h"

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
    const QFileInfo info(path);
    const QByteArray pattern =
        QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".XXXXXX"));
    QByteArray temporary = pattern;
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

bool renameInto(const QString& temporary, const QString& path) {
    if (faultAt(path, AtomicFile::Step::Rename) ||
        ::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) != 0)
        return false;
    // The rename itself is made durable too; a folder that cannot be synced is no reason to
    // report a failure, the file is in place.
    const int dir = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

void removeTemporary(const QString& temporary) {
    ::unlink(QFile::encodeName(temporary).constData());
}

// A second name for the file a batch is about to replace, so that it can be put back when a
// later file of the batch cannot be renamed into place. Empty when there is no such file.
QString keepAside(const QString& target) {
    if (!QFileInfo::exists(target))
        return QString();
    const QString aside = QFileInfo(target).absolutePath() + QStringLiteral("/.") + QFileInfo(target).fileName() +
                          QStringLiteral(".regi");
    ::unlink(QFile::encodeName(aside).constData());
    if (::link(QFile::encodeName(target).constData(), QFile::encodeName(aside).constData()) != 0)
        return QString();
    return aside;
}

void putBack(const QString& aside, const QString& target) {
    if (aside.isEmpty())
        ::unlink(QFile::encodeName(target).constData());
    else
        ::rename(QFile::encodeName(aside).constData(), QFile::encodeName(target).constData());
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

QString keepAside(const QString&) {
    return QString();
}

void putBack(const QString&, const QString&) {}

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
    const QString temporary = writeTemporary(target, bytes);
    if (temporary.isEmpty()) {
        discard();
        throw UserError::cannotCreate(path);
    }
    m_targets.append(target);
    m_temporaries.append(temporary);
}

void AtomicFile::Batch::commit() {
    // The files already replaced are put back when a later one fails, so the batch stays all
    // or nothing even then.
    QStringList asides;
    for (qsizetype i = 0; i < m_targets.size(); ++i) {
        asides.append(keepAside(m_targets.at(i)));
        if (!renameInto(m_temporaries.at(i), m_targets.at(i))) {
            const QString failed = m_targets.at(i);
            for (qsizetype j = 0; j < i; ++j)
                putBack(asides.at(j), m_targets.at(j));
            removeTemporary(asides.at(i));
            m_temporaries.remove(0, i);
            m_targets.remove(0, i);
            discard();
            throw UserError::cannotCreate(failed);
        }
    }
    for (const QString& aside : std::as_const(asides)) {
        if (!aside.isEmpty())
            removeTemporary(aside);
    }
    m_temporaries.clear();
    m_targets.clear();
}

#ifndef Q_OS_WIN

AtomicFile::Stream::Stream(const QString& path) : m_path(path), m_target(resolvedTarget(path)) {
    const QFileInfo info(m_target);
    QByteArray temporary =
        QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".XXXXXX"));
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
