#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// What a batch of replaced files (AtomicFile::Batch) records in its folder before it renames
// the first file, so that a start after a crash can finish the replacement or undo it. Names
// only, no paths: a journal speaks of files beside itself, and a planted one can name nothing
// but the program's own temporaries there.
struct BatchJournal {
    struct Entry {
        QString target;    // the file replaced
        QString temporary; // its new bytes, synced, until renamed onto the target
        QString aside;     // the old file kept for putting back; empty when there was none
    };

    // Whether the renames onto the targets may have begun. Before that, every target is old.
    bool switching = false;
    // In the order they are renamed: when the switch has begun, the files already renamed are
    // the first ones.
    QList<Entry> entries;

    // A journal's bytes are a short text; more than this is not one.
    static constexpr qsizetype kMaxBytes = 64 * 1024;

    QByteArray serialize() const;
    // The journal, or nothing for bytes that are not one written by serialize().
    static std::optional<BatchJournal> parse(const QByteArray& bytes);
};
