#include "base/DataRootLock.h"

#include "base/ClosedFolder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

namespace {

// A lock file is a few short lines: the process, the program and the machine.
constexpr qint64 kMaxLockBytes = 4096;
// The moment between creating a lock and writing it, when another program starting right then
// sees it empty; an empty lock older than this was left by a crash.
constexpr qint64 kWritingGraceSeconds = 10;

bool looksWritten(const QByteArray& bytes) {
    const QList<QByteArray> lines = bytes.split('\n');
    bool ok = false;
    return lines.size() >= 3 && lines.first().toLongLong(&ok) > 0 && ok;
}

} // namespace

DataRootLock::DataRootLock(const DataRoot& root)
    : m_root(root), m_path(root.tavrix() + QStringLiteral("/.gyvkt.lock")), m_lock(m_path) {
    // Only a lock whose program is gone counts as stale, however old it is.
    m_lock.setStaleLockTime(0);
}

bool DataRootLock::clearUnreadableLock() {
    const QFileInfo info(m_path);
    if (!info.exists() && !info.isSymLink())
        return true;
    // Reading a pipe would wait for ever and a link to a device would never end, so only a
    // regular file is ever opened.
    if (info.isSymLink() || !info.isFile())
        return false;
    QFile file(m_path);
    const bool readable = info.size() <= kMaxLockBytes && file.open(QIODevice::ReadOnly);
    if (readable && looksWritten(file.read(kMaxLockBytes)))
        return true;
    // Windows removes no file that is open.
    file.close();
    if (qAbs(info.lastModified().secsTo(QDateTime::currentDateTime())) > kWritingGraceSeconds)
        QFile::remove(m_path);
    return true;
}

bool DataRootLock::tryLock() {
#ifdef Q_OS_WIN
    return m_lock.tryLock(0);
#else
    // The lock names the machine and the process: like every file the program creates, its owner's
    // alone.
    const mode_t mask = ::umask(077);
    const bool locked = m_lock.tryLock(0);
    ::umask(mask);
    return locked;
#endif
}

bool DataRootLock::acquire() {
    m_failure.clear();
    if (!ClosedFolder::makePath(m_root.tavrix())) {
        m_failure = cannotLockText(m_root, QStringLiteral("az adatmappa nem hozható létre"));
        return false;
    }
    if (!clearUnreadableLock()) {
        m_failure = cannotLockText(m_root, QStringLiteral("a zárolófájl helyén nem közönséges fájl áll: ") +
                                               QDir::toNativeSeparators(m_path) +
                                               QStringLiteral(" (távolítsa el, és indítsa újra a programot)"));
        return false;
    }
    if (tryLock())
        return true;
    switch (m_lock.error()) {
    case QLockFile::LockFailedError: {
        qint64 pid = 0;
        QString host;
        QString application;
        const bool known = m_lock.getLockInfo(&pid, &host, &application);
        m_failure = alreadyRunningText(
            m_root, known ? QStringLiteral("%1 gépen, a(z) %2 számú folyamatként").arg(host).arg(pid) : QString());
        break;
    }
    case QLockFile::PermissionError:
        m_failure = cannotLockText(m_root, QStringLiteral("az adatmappa csak olvasható, vagy nincs joga írni bele"));
        break;
    default:
        m_failure = cannotLockText(m_root, QStorageInfo(m_root.tavrix()).bytesAvailable() == 0
                                               ? QStringLiteral("megtelt a lemez")
                                               : QStringLiteral("a zárolófájl nem írható"));
        break;
    }
    return false;
}

QString DataRootLock::alreadyRunningText(const DataRoot& root, const QString& holder) {
    QString text =
        QStringLiteral("A gyermek VKT már fut ezen az adatmappán:\n") + QDir::toNativeSeparators(root.tavrix());
    if (!holder.isEmpty())
        text += QStringLiteral("\n(") + holder + QStringLiteral(")");
    return text + QStringLiteral("\n\nEgyszerre csak egy példány dolgozhat vele, különben felülírnák egymás válaszait. "
                                 "Használja a már megnyitott ablakot.");
}

QString DataRootLock::cannotLockText(const DataRoot& root, const QString& reason) {
    return QStringLiteral("A gyermek VKT nem tudja lefoglalni az adatmappát:\n") +
           QDir::toNativeSeparators(root.tavrix()) + QStringLiteral("\n\nAz ok: ") + reason +
           QStringLiteral(".\n\nA program csak akkor indul el, ha lefoglalhatja az adatmappát.");
}
