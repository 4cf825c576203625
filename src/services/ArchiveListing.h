#pragma once

#include "model/Evaluate.h"
#include "model/GcrKey.h"
#include "model/PersonalData.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

struct EvaluatedExamination;

// One examination file of the archive as the archive window and `gyvkt-cli list` show it.
struct ArchiveRow {
    QString path;
    QString fileName;
    // The file's size and modification time (UTC) when it was read: what the listing compares to
    // tell a changed file.
    qint64 size = 0;
    QDateTime modified;
    // The reader refused the file: error holds its message, and of the fields below only the
    // code (taken from the file name) is set.
    bool malformed = false;
    QString error;
    PersonalData personal;
    // Pictures with at least one code in the first three fields (the too-few rule's count).
    int scored = 0;
    // The 24 GCR points under the key the listing was made with.
    double gcrPoints = 0.0;
    // Whether a protocol could be made; the percentage and its class only when it could.
    ProtocolRefusal refusal = ProtocolRefusal::None;
    qint32 gcrPercent = 0;
    QString gcrClass;
    // Name, code and examiner folded by ArchiveListing::fold(), for searching and sorting.
    QString foldedName;
    QString foldedCode;
    QString foldedExaminer;
    // Whose examination it is, to find the same child's others (ArchiveListing::childKey).
    QString childKey;

    bool hasGcrPercent() const { return !malformed && refusal == ProtocolRefusal::None; }
};

namespace ArchiveListing {

// Reads one examination file through the examination reader and derives its row under the key.
// Never raises: a file the reader refuses becomes a malformed row. Nothing is written.
ArchiveRow readRow(const QString& path, const GcrKey& key);
// The columns of an examination read already (path and file name only; no size or time).
ArchiveRow describe(const QString& path, const EvaluatedExamination& examination);

// How much of a field is folded: far more than any name, code or examiner, and a bound on the
// time a planted file's field can take.
constexpr qsizetype kFoldedLength = 1024;

// Letter case and accents dropped, for searching: "Kovács Ödön" and "KOVACS ODON" fold alike.
// Only the first kFoldedLength characters of the text count.
QString fold(const QString& text);

// The examination date (HungarianDate::parse), or an invalid date for a text typed otherwise.
QDate examinationDate(const QString& text);

// Who an examination is of, as far as the archive can tell: the name folded (case and accents
// ignored, runs of spaces as one) with the sex, so "KOVÁCS  Ödön" and "Kovacs Odon" of one sex
// are one child. Empty for an empty name, which tells nobody.
QString childKey(const PersonalData& personal);
// How many rows share each child key (a malformed row has none).
QHash<QString, int> childCounts(const QList<ArchiveRow>& rows);

} // namespace ArchiveListing

// What the search field asks for: every word of the query, folded, must occur in the row's
// name, code or examiner. An empty query accepts every row.
class ArchiveFilter {
public:
    explicit ArchiveFilter(const QString& query = QString());
    bool accepts(const ArchiveRow& row) const;
    bool isEmpty() const { return m_terms.isEmpty(); }

private:
    QStringList m_terms;
};

// The rows of a folder, read once and kept per file: a later listing under the same key reads
// again only the files whose size or modification time changed, and forgets the files that
// are gone. Files are read on all cores. One listing at a time; between listings the object
// may pass to another thread.
class ArchiveCache {
public:
    // Called on the listing's thread with the number of files done and their total; returning
    // false stops the listing.
    using Progress = std::function<bool(int done, int total)>;

    // The rows of ArchiveFolder::examinationFiles(folder) in its order. Raises UserError when
    // the folder cannot be read. A listing stopped by progress returns an empty list; what it
    // had read stays kept.
    QList<ArchiveRow> list(const QString& folder, const GcrKey& key, const Progress& progress = {});

    // How many files the last listing read (the rest came from what was kept).
    int readCount() const { return m_readCount; }
    void clear();

private:
    QHash<QString, ArchiveRow> m_rows;
    GcrKey m_key;
    int m_readCount = 0;
};
