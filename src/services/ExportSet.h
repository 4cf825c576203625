#pragma once

#include "base/AtomicFile.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

// The files of one export, replaced as one unit: the table, its codebook and, anonymized, the
// link table, which may lie in another folder. The codebook and the link table speak of the
// table they were written with; a table beside another export's link table would lead its
// serials to the wrong children. So the old table is moved aside first, the other files follow
// and the new table comes last: whenever the writing stops, a power cut included, the folder
// holds the old set, the new set, or no table at all.
//
// Before the first rename a journal beside the table (".<table>.exportnaplo") records what was
// staged. The next export of that table, or the program's next start for the folders it writes,
// completes the set (or, when a staged file is gone, puts the old one back) and removes every
// temporary and old file the interrupted export left. A recovery cut short is taken up again
// where it stopped: what it decided is in the journal before it renames anything.
namespace ExportSet {

struct File {
    QString path;
    QByteArray bytes;
    // When set, writes the file as its bytes come (a table too large to hold), in place of bytes.
    std::function<void(AtomicFile::Stream&)> stream;
};

// Replaces the files, the first of them being the table. Raises UserError, naming the file, after
// putting the old set back.
void write(const QList<File>& files);

QString journalPath(const QString& table);

// Completes or undoes the set whose table is at table, when its journal says it was interrupted.
// Raises UserError when the journal is damaged (it is removed then) or a file cannot be renamed
// (the journal stays for the next attempt).
void finishInterrupted(const QString& table);
// The same for every journal in folder; raises the first failure after trying them all.
void finishInterruptedIn(const QString& folder);

// What a journal records, in JSON.
struct Journal {
    enum class Phase {
        Staging,     // the files are being written; no target has changed
        Switching,   // the renames may have begun; they go on to the new set
        RollingBack, // the old set is being put back
    };
    struct Entry {
        QString target;    // relative to the journal's folder (a link table may lie elsewhere)
        QString temporary; // the new bytes beside the target; empty while staging
        QString aside;     // the old file kept beside the target; empty when there was none
    };
    Phase phase = Phase::Staging;
    QList<Entry> entries; // the table first

    static constexpr qsizetype kMaxBytes = 64 * 1024;
    static constexpr qsizetype kMaxEntries = 8;

    QByteArray serialize() const;
    // The journal of the table named tableName, or nothing for bytes that are not one.
    static std::optional<Journal> parse(const QByteArray& bytes, const QString& tableName);
};

// A test seam: write() and the recovery stop after this many of their steps (each journal
// written, each rename, the journal removed, the leftovers removed), raising
// AtomicFile::Stopped and leaving the disk as a crash would.
void stopAfter(const std::optional<int>& steps);

} // namespace ExportSet
