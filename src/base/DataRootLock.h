#pragma once

#include "base/DataRoot.h"

#include <QLockFile>

// One program per data folder: the working folder holds the answers of one examination, and
// two programs on it would overwrite each other's answers.
class DataRootLock {
public:
    explicit DataRootLock(const DataRoot& root);

    // True when this program now holds the data folder. A lock left behind by a run that
    // crashed is taken over, an empty or garbled one as a power cut leaves it too; one held by
    // a running program is not. After false, failureText() says why.
    bool acquire();
    QString path() const { return m_path; }
    // What the program says before it ends when acquire() failed: another program holds the
    // folder, or the lock cannot be made at all (and why).
    QString failureText() const { return m_failure; }

    // The text when another program holds the folder; holder names its machine and process
    // when they are known.
    static QString alreadyRunningText(const DataRoot& root, const QString& holder = QString());
    static QString cannotLockText(const DataRoot& root, const QString& reason);

private:
    // Removes a lock file that no program could have written as it stands; false when the
    // path holds something that is not a file at all.
    bool clearUnreadableLock();
    bool tryLock();

    DataRoot m_root;
    QString m_path;
    QLockFile m_lock;
    QString m_failure;
};
