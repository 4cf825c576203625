#pragma once

#include "core/platform/DataRoot.h"

#include <QLockFile>

// One program per data folder: the working folder holds the answers of one examination, and
// two programs on it would overwrite each other's answers.
class DataRootLock {
public:
    explicit DataRootLock(const DataRoot& root);

    // True when this program now holds the data folder. A lock left behind by a run that
    // crashed is taken over; one held by a running program is not.
    bool acquire();
    QString path() const { return m_path; }

    // What the second program says before it ends.
    static QString alreadyRunningText(const DataRoot& root);

private:
    QString m_path;
    QLockFile m_lock;
};
