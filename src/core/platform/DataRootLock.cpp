#include "core/platform/DataRootLock.h"

#include "core/platform/ClosedFolder.h"

#include <QDir>

DataRootLock::DataRootLock(const DataRoot& root)
    : m_path(root.tavrix() + QStringLiteral("/.gyvkt.lock")), m_lock(m_path) {
    // Only a lock whose program is gone counts as stale, however old it is.
    m_lock.setStaleLockTime(0);
}

bool DataRootLock::acquire() {
    ClosedFolder::makePath(QDir::cleanPath(m_path + QStringLiteral("/..")));
    return m_lock.tryLock(0);
}

QString DataRootLock::alreadyRunningText(const DataRoot& root) {
    return QStringLiteral("A gyermek VKT már fut ezen az adatmappán:\n") + QDir::toNativeSeparators(root.tavrix()) +
           QStringLiteral("\n\nEgyszerre csak egy példány dolgozhat vele, különben felülírnák egymás válaszait. "
                          "Használja a már megnyitott ablakot.");
}
