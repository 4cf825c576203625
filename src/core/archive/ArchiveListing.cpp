#include "core/archive/ArchiveListing.h"

#include "core/archive/ArchiveFolder.h"
#include "core/exam/ExaminationFile.h"
#include "core/marking/Coding.h"
#include "core/platform/UserError.h"
#include "core/report/ResultText.h"

#include <QFile>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

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

ArchiveRow readStamped(const QString& path, const Stamp& stamp, const GcrKey& key) {
    ArchiveRow row;
    row.path = path;
    row.fileName = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    row.size = stamp.size;
    row.modified = stamp.modified;
    ExaminationData data;
    try {
        data = ExaminationFile::read(path);
    } catch (const UserError& e) {
        row.malformed = true;
        row.error = e.text();
        row.personal = PersonalData();
        row.personal.code = ExaminationFile::codeFromPath(path);
        row.personal.name.clear();
        row.foldedCode = ArchiveListing::fold(row.personal.code);
        return row;
    }
    row.personal = data.personal;
    const Coding coding(key, data.lines);
    row.scored = coding.markedPictureCount();
    row.gcrPoints = coding.gcrPoints();
    row.refusal = protocolRefusal(coding, row.personal.age);
    if (row.refusal == ProtocolRefusal::None) {
        const EvaluationResult result = evaluate(coding, row.personal.age);
        row.gcrPercent = result.gcrPercent;
        row.gcrClass = ResultText::gcrClass(result.gcrClass);
    }
    row.foldedName = ArchiveListing::fold(row.personal.name);
    row.foldedCode = ArchiveListing::fold(row.personal.code);
    row.foldedExaminer = ArchiveListing::fold(row.personal.examiner);
    return row;
}

// Below this many files a second thread costs more than it saves.
constexpr int kFilesPerThread = 200;

} // namespace

ArchiveRow ArchiveListing::readRow(const QString& path, const GcrKey& key) {
    return readStamped(path, stampOf(path), key);
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
    const QString trimmed = text.trimmed();
    for (const QString& format : {QStringLiteral("yyyy.MM.dd."), QStringLiteral("yyyy.MM.dd"),
                                  QStringLiteral("yyyy.M.d."), QStringLiteral("yyyy.M.d")}) {
        const QDate date = QDate::fromString(trimmed, format);
        if (date.isValid())
            return date;
    }
    return QDate();
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
    ArchiveRow* const out = rows.data();
    std::vector<char> filled(static_cast<size_t>(total), 0);
    std::atomic<int> next{0};
    std::atomic<int> done{0};
    std::atomic<int> read{0};
    std::atomic<bool> stop{false};
    // Every thread takes the next file; the kept rows are only looked up while the threads run.
    const QHash<QString, ArchiveRow>& kept = m_rows;
    auto work = [&](bool reports) {
        for (int i = next++; i < total && !stop; i = next++) {
            const QString& path = files.at(i);
            const Stamp stamp = stampOf(path);
            const auto old = kept.constFind(path);
            if (old != kept.cend() && old->size == stamp.size && old->modified == stamp.modified) {
                out[i] = *old;
            } else {
                out[i] = readStamped(path, stamp, key);
                ++read;
            }
            filled[static_cast<size_t>(i)] = 1;
            const int finished = ++done;
            if (reports && progress && !progress(finished, total))
                stop = true;
        }
    };
    std::vector<std::thread> threads;
    const int helpers = std::min(QThread::idealThreadCount(), 8) - 1;
    for (int t = 0; t < helpers && (t + 1) * kFilesPerThread < total; ++t)
        threads.emplace_back(work, false);
    work(true);
    for (std::thread& t : threads)
        t.join();
    m_readCount = read;

    if (stop) {
        // What was read is not lost: it is kept beside the rows of the files not reached.
        for (int i = 0; i < total; ++i) {
            if (filled[static_cast<size_t>(i)])
                m_rows.insert(files.at(i), out[i]);
        }
        return {};
    }
    // Nothing read and no file gone: the kept rows are these already.
    if (read > 0 || m_rows.size() != total) {
        QHash<QString, ArchiveRow> now;
        now.reserve(total);
        for (int i = 0; i < total; ++i)
            now.insert(files.at(i), out[i]);
        m_rows = now;
    }
    return rows;
}

void ArchiveCache::clear() {
    m_rows.clear();
    m_readCount = 0;
}
