#include "services/ArchiveListing.h"

#include "base/UserError.h"
#include "formats/ExaminationFile.h"
#include "model/Coding.h"
#include "render/ResultText.h"
#include "services/ArchiveFolder.h"
#include "services/EvaluatedExamination.h"
#include "services/HungarianDate.h"

#include <QFile>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <atomic>

namespace {

struct Stamp {
    qint64 size = 0;
    QDateTime modified;
};

// One stat: QFile gives the size and the time as the file system has them (QFileInfo would
// convert the time to local time, which costs more than the stat itself).
Stamp stampOf(const QString& path) {
    const QFile file(path);
    return {file.size(), file.fileTime(QFileDevice::FileModificationTime).toUTC()};
}

QString fileNameOf(const QString& path) {
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

ArchiveRow readStamped(const QString& path, const Stamp& stamp, const GcrKey& key) {
    ArchiveRow row;
    try {
        row = ArchiveListing::describe(path, EvaluatedExamination::read(path, key));
    } catch (const UserError& e) {
        row.path = path;
        row.fileName = fileNameOf(path);
        row.malformed = true;
        row.error = e.text();
        row.personal = PersonalData();
        row.personal.code = ExaminationFile::codeFromPath(path);
        row.personal.name.clear();
        row.foldedCode = ArchiveListing::fold(row.personal.code);
    }
    row.size = stamp.size;
    row.modified = stamp.modified;
    return row;
}

// The files read on all cores between two reports of progress: at most this many, so that a
// stopped listing ends soon, and in a large folder enough that the cores seldom wait for each
// other at a report; a small folder reports every thirty-second part of it.
constexpr int kMaxFilesPerReport = 256;
constexpr int kReportsPerListing = 32;

} // namespace

ArchiveRow ArchiveListing::readRow(const QString& path, const GcrKey& key) {
    return readStamped(path, stampOf(path), key);
}

ArchiveRow ArchiveListing::describe(const QString& path, const EvaluatedExamination& examination) {
    ArchiveRow row;
    row.path = path;
    row.fileName = fileNameOf(path);
    row.personal = examination.data.personal;
    row.scored = examination.coding.markedPictureCount();
    row.gcrPoints = examination.coding.gcrPoints();
    row.refusal = examination.refusal;
    if (row.refusal == ProtocolRefusal::None) {
        row.gcrPercent = examination.result->gcrPercent;
        row.gcrClass = ResultText::gcrClass(examination.result->gcrClass);
    }
    row.foldedName = fold(row.personal.name);
    row.foldedCode = fold(row.personal.code);
    row.foldedExaminer = fold(row.personal.examiner);
    row.childKey = childKey(row.personal);
    return row;
}

namespace {

// The characters of c with its accents dropped: its canonical decomposition, taken apart one
// level at a time, without the combining marks. Bounded work per character.
void appendBare(char32_t c, QString& out) {
    if (QChar::category(c) == QChar::Mark_NonSpacing)
        return;
    if (QChar::decompositionTag(c) != QChar::Canonical) {
        out.append(QStringView(QChar::fromUcs4(c)));
        return;
    }
    const QString parts = QChar::decomposition(c);
    for (const char32_t part : parts.toUcs4())
        appendBare(part, out);
}

} // namespace

QString ArchiveListing::fold(const QString& text) {
    // Each character on its own, so the work grows with the text's length, never faster: a
    // whole-string normalisation reorders long runs of marks at a cost that grows with their
    // square. Beyond the first kFoldedLength characters nothing is searched.
    QString bare;
    const QStringView head = QStringView(text).left(kFoldedLength);
    bare.reserve(head.size());
    for (const char32_t c : head.toUcs4())
        appendBare(c, bare);
    return bare.toCaseFolded();
}

QDate ArchiveListing::examinationDate(const QString& text) {
    return HungarianDate::parse(text).value_or(QDate());
}

QString ArchiveListing::childKey(const PersonalData& personal) {
    const QString name = fold(personal.name.simplified());
    if (name.isEmpty())
        return QString();
    return name + (personal.sex == PersonalData::Sex::Girl ? QStringLiteral("\n2") : QStringLiteral("\n1"));
}

QHash<QString, int> ArchiveListing::childCounts(const QList<ArchiveRow>& rows) {
    QHash<QString, int> counts;
    for (const ArchiveRow& row : rows) {
        if (!row.childKey.isEmpty())
            ++counts[row.childKey];
    }
    return counts;
}

ArchiveFilter::ArchiveFilter(const QString& query) {
    for (const QString& word : query.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString term = ArchiveListing::fold(word);
        if (!term.isEmpty())
            m_terms << term;
    }
}

bool ArchiveFilter::accepts(const ArchiveRow& row) const {
    for (const QString& term : m_terms) {
        if (!row.foldedName.contains(term) && !row.foldedCode.contains(term) && !row.foldedExaminer.contains(term))
            return false;
    }
    return true;
}

QList<ArchiveRow> ArchiveCache::list(const QString& folder, const GcrKey& key, const Progress& progress) {
    const QStringList files = ArchiveFolder::examinationFiles(folder);
    // Rows kept from another key hold other points.
    if (!(key == m_key)) {
        m_rows.clear();
        m_key = key;
    }
    const int total = static_cast<int>(files.size());
    m_readCount = 0;
    if (progress && !progress(0, total))
        return {};

    QList<ArchiveRow> rows(total);
    for (int i = 0; i < total; ++i)
        rows[i].path = files.at(i);
    std::atomic<int> read{0};
    // The kept rows are only looked up while the files are read.
    const QHash<QString, ArchiveRow>& kept = m_rows;
    auto fill = [&](ArchiveRow& row) {
        const QString path = row.path;
        const Stamp stamp = stampOf(path);
        const auto old = kept.constFind(path);
        if (old != kept.cend() && old->size == stamp.size && old->modified == stamp.modified) {
            row = *old;
        } else {
            row = readStamped(path, stamp, key);
            ++read;
        }
    };
    // Without progress to report, all files in one go.
    const int step = progress ? std::clamp(total / kReportsPerListing, 1, kMaxFilesPerReport) : std::max(total, 1);
    int done = 0;
    bool stopped = false;
    while (done < total && !stopped) {
        const int end = std::min(total, done + step);
        QtConcurrent::blockingMap(rows.begin() + done, rows.begin() + end, fill);
        done = end;
        stopped = progress && !progress(done, total);
    }
    m_readCount = read;

    if (stopped) {
        // What was read is not lost: it is kept beside the rows of the files not reached.
        for (int i = 0; i < done; ++i)
            m_rows.insert(files.at(i), rows.at(i));
        return {};
    }
    // Nothing read and no file gone: the kept rows are these already.
    if (read > 0 || m_rows.size() != total) {
        QHash<QString, ArchiveRow> now;
        now.reserve(total);
        for (int i = 0; i < total; ++i)
            now.insert(files.at(i), rows.at(i));
        m_rows = now;
    }
    return rows;
}

void ArchiveCache::clear() {
    m_rows.clear();
    m_readCount = 0;
}
