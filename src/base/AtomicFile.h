#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cerrno>
#include <optional>

// Replacing a file so that it is either wholly the new content or still wholly the old one.
// The bytes go to a temporary file beside the target; every write call, the sync to the disk,
// the close and the rename are checked, and only when all succeeded does the rename put the
// new file in place. On any failure the temporary file is removed, the target is left as it
// was and UserError ("Cannot create file " + path, and on a second line why) is raised. A full
// disk that takes only part of the bytes, or refuses them only when they are flushed, is such a
// failure.
namespace AtomicFile {

void write(const QString& path, const QByteArray& bytes);

// The steps of write() taken apart, for files that must replace their targets in an order of
// their own (the export's set of files). Each raises UserError ("Cannot create file " + the
// target) and leaves nothing behind when it fails.
//
// The file a write to path replaces: a symbolic link's target, else path itself.
QString target(const QString& path);
// Writes the bytes to a new temporary beside target(path) and syncs them; returns its path.
QString stage(const QString& path, const QByteArray& bytes);
// Renames from onto to and syncs the folder, so that the rename survives a power cut.
void rename(const QString& from, const QString& to);
// Gives the file at path the second name aside (replacing a file there), so that it can be put
// back after its name was given to a new file.
void keepOld(const QString& path, const QString& aside);

// Several files replaced as one: all of them are written and synced beside their targets
// first; when any of them fails, none of the targets is touched. Then the old files are kept
// aside and the new ones renamed into place one after the other; a rename that fails puts the
// old ones back.
//
// A batch given a journal survives a crash, too: before the first rename it records in the
// journal (BatchJournal) what it staged, and removes the journal when every file is in place.
// finishInterrupted() at the next start completes what the journal names or undoes it. Its
// targets must then lie in the journal's folder.
class Batch {
public:
    explicit Batch(QString journal = QString()) : m_journal(std::move(journal)) {}
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;
    // Removes what was staged and never committed.
    ~Batch();

    // Writes the bytes next to the target; raises UserError (and discards every staged file)
    // when it cannot.
    void stage(const QString& path, const QByteArray& bytes);
    // Renames every staged file into place.
    void commit();

private:
    void discard();
    void step();
    void switchFiles(const QStringList& asides);
    QString m_journal;
    QStringList m_targets;
    QStringList m_temporaries;
    int m_steps = 0;
};

// What a start found of a batch that a crash interrupted.
enum class Recovery {
    Nothing,       // no journal: the last batch ended
    RolledForward, // every staged file was there: the batch is complete now
    RolledBack,    // a staged file was missing: the old files are back
};
// Completes or undoes the batch whose journal is at journalPath, and removes the journal.
// Raises UserError, naming the journal, when it is not one or the files cannot be renamed.
Recovery finishInterrupted(const QString& journalPath);

// A file too large to hold in memory, written piece by piece with the promises of write():
// nothing is at the path until commit() has synced the bytes and renamed them into place, and
// every failure raises UserError ("Cannot create file " + path) and removes what was written.
class Stream {
public:
    // Creates the temporary file beside the target.
    explicit Stream(const QString& path);
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;
    // Removes the temporary file unless commit() succeeded.
    ~Stream();

    void write(const char* data, qint64 size);
    void commit();
    // Syncs and closes what was written and hands its temporary file over, not renamed: the
    // caller puts it in place with the files it belongs with (an export's set) or removes it.
    QString stage();
    qint64 size() const { return m_size; }

private:
    // Removes what was written and raises UserError with the reason of the system's error.
    [[noreturn]] void fail(int error);
    QString m_path;
    QString m_target;
    QString m_temporary;
    qint64 m_size = 0;
    // The open temporary file (a descriptor, or a Windows HANDLE); -1 when there is none.
    qintptr m_handle = -1;
};

// A test seam: makes writes fail at one step as a full or failing disk would. At the sync, the
// close and the rename the fault is reported in the place of the system call's own result.
enum class Step { Write, Sync, Close, Rename };
struct Fault {
    Step step = Step::Write;
    // For Step::Write: how many bytes of the file still fit before the disk is full.
    qint64 roomBytes = 0;
    // Only writes whose target path ends with this fail; empty: every write.
    QString pathSuffix;
    // The system's error number the failing step reports, as errno would.
    int error = ENOSPC;
};
// Applies to every write until it is cleared with std::nullopt.
void injectFault(const std::optional<Fault>& fault);

// A test seam: a batch's commit stops, as a crash would, after this many of its steps (the
// journal written, the old files kept aside, the switch recorded, each rename, the journal
// removed, the old files removed), raising Stopped and leaving the disk as it stands. So does
// finishInterrupted() after as many of its own (the journal marked as switching, each rename,
// the journal removed, the leftovers removed).
struct Stopped {};
void stopBatchAfter(const std::optional<int>& steps);

} // namespace AtomicFile
