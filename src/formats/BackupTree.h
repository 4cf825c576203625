#pragma once

#include "formats/BackupCipher.h"

#include <QString>

#include <functional>

class QIODevice;

// The backup of a data root: every regular file, symbolic link (stored as a link, never
// followed) and folder below it but the lock file, with its path relative to the root, its
// modification time and its permission bits, as one pax archive inside the BackupCipher
// envelope. Reading checks every entry before anything of it is trusted: an absolute path, a
// ".." component, a link that leads out of the restored folder, a path below a link, an entry
// twice, a device, a pipe or a hard link are refused naming the entry.
namespace BackupTree {

struct Contents {
    int files = 0;
    int links = 0;
    int folders = 0;
    // Examination files (*.kvx) of the archive folder.
    int examinations = 0;
    qint64 bytes = 0; // of the files
};

// Done and total bytes of the files; returning false cancels the backup.
using Progress = std::function<bool(qint64 done, qint64 total)>;
// Raised by create() when the progress callback cancelled it; nothing was written then.
struct Cancelled {};

// Writes the backup of rootDir to file (through AtomicFile: nothing is at file unless all of
// it was written and synced). A file that cannot be read, or changes while it is read, ends
// the backup with a UserError naming it.
Contents create(const QString& rootDir, const QString& file, const QByteArray& passphrase,
                const BackupCipher::KdfCost& cost = BackupCipher::standardCost(), const Progress& progress = {});

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
