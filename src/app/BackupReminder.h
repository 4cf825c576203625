#pragma once

#include "base/DataRoot.h"
#include "formats/BackupTree.h"

#include <QDateTime>
#include <optional>

class Platform;

// What the program tells the examiner about the safety of the data once the password is
// accepted, and the record of the last successful backup it rests on (one small file in the
// data root, written atomically).
namespace BackupReminder {

// A backup older than this many days, or none at all, is worth a word.
constexpr int kMaxAgeDays = 30;

// Records a successful backup made at `when`. Raises UserError when the file cannot be written.
void recordBackup(const DataRoot& root, const QDateTime& when = QDateTime::currentDateTimeUtc());
// The same record, for the backup made at `when` to hold, so that a folder restored from it
// knows when that was; nothing when the root is no data root (it has no gy_vkt folder).
BackupTree::Stored recordInBackup(const DataRoot& root, const QDateTime& when);
// The time of the last successful backup; none when there was none or the record is unreadable.
std::optional<QDateTime> lastBackup(const DataRoot& root);

// The notices due after the password: the data folder open to other users, a missing or old
// backup. Each is a plain message through the platform.
void afterUnlock(const DataRoot& root, Platform& platform, const QDateTime& now = QDateTime::currentDateTimeUtc());

} // namespace BackupReminder
