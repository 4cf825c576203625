#pragma once

#include "formats/BackupCipher.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>

class QIODevice;

// The backup of a data root: every regular file, symbolic link and folder below it but the lock
// file, with its path relative to the root, its modification time and its permission bits, as
// one pax archive inside the BackupCipher envelope. A link that stays inside the root is stored
// as a link; one that leads out of it (an archive folder kept on another disk) is followed and
// what it leads to stored in its place. Reading checks every entry before anything of it is
// trusted: an absolute path, a ".." component, a link that leads out of the restored folder, a
// path below a link, an entry twice, a name or path too long to restore, a device, a pipe, a
// hard link or a sparse file are refused naming the entry. A backup create() writes passes
// every one of these checks: what could not pass stops it before anything is written.
namespace BackupTree {

struct Contents {
    int files = 0;
    int links = 0;
    int folders = 0;
    // Examination files (*.kvx) of the archive folder.
    int examinations = 0;
    qint64 bytes = 0; // of the files
    // create(): "link → where it leads" for each link whose folder or file was stored in its place.
    QStringList followedLinks;
    // What an interrupted backup or restore of the same place had left beside it, removed.
    QStringList removedLeftovers;
};

// Files stored in the backup with these bytes, whatever the root holds at those paths (relative
// to the root); their folder must be one the backup holds.
using Stored = QMap<QString, QByteArray>;

// Done and total bytes of the files; returning false cancels the backup.
using Progress = std::function<bool(qint64 done, qint64 total)>;
// Raised by create() when the progress callback cancelled it; nothing was written then.
struct Cancelled {};

// Writes the backup of rootDir to file (through AtomicFile: nothing is at file unless all of
// it was written and synced). A file that cannot be read, or changes while it is read, ends
// the backup with a UserError naming it; so does a file inside what the backup saves, the root
// or where a followed link leads, before anything is written.
Contents create(const QString& rootDir, const QString& file, const QByteArray& passphrase,
                const BackupCipher::KdfCost& cost = BackupCipher::standardCost(), const Progress& progress = {},
                const Stored& stored = {});

// What a backup to file that was killed left beside it (its encrypted temporary), removed;
// create() does it first. The paths removed.
QStringList removeInterruptedBackup(const QString& file);
// What a restore into target that was killed left beside it (the temporary folder with a
// decrypted copy of the whole backup), removed; restore() does it first. The paths removed.
QStringList removeInterruptedRestore(const QString& target);

// Reads and authenticates every byte and makes every check restore() makes; writes nothing.
Contents verify(QIODevice& device, const QString& name, const QByteArray& passphrase,
                const BackupCipher::KdfCost* derivationCost = nullptr);
Contents verifyFile(const QString& file, const QByteArray& passphrase);

// Restores into target, which must not exist or be an empty folder. Everything is unpacked into
// a temporary folder beside it and checked; only then is it renamed to target. After any
// failure there is no target (an empty one given is left as it was) and no temporary folder.
Contents restore(QIODevice& device, const QString& name, const QByteArray& passphrase, const QString& target,
                 const BackupCipher::KdfCost* derivationCost = nullptr);
Contents restoreFile(const QString& file, const QByteArray& passphrase, const QString& target);

} // namespace BackupTree
