// The journal readers on any bytes, the answers' batch journal and the export set's: what they
// take names only the program's own temporaries and old files of each target beside it (for a
// batch, of plain file names beside the journal; for an export, the table first), and what they
// write they read back.
#include "FuzzInput.h"
#include "base/BatchJournal.h"
#include "base/TemporaryNames.h"
#include "services/ExportSet.h"

#include <QFileInfo>
#include <QSet>

namespace {

void checkExportSet(const QByteArray& bytes) {
    const QString table = QStringLiteral("export.csv");
    const std::optional<ExportSet::Journal> journal = ExportSet::Journal::parse(bytes, table);
    if (!journal)
        return;
    fuzzCheck(!journal->entries.isEmpty() && journal->entries.size() <= ExportSet::Journal::kMaxEntries,
              "an export journal names its table and a few more files");
    fuzzCheck(journal->entries.first().target == table, "the table comes first, beside the journal");
    for (const ExportSet::Journal::Entry& e : journal->entries) {
        const QString name = QFileInfo(e.target).fileName();
        fuzzCheck(e.temporary.isEmpty() ? journal->phase == ExportSet::Journal::Phase::Staging
                                        : TemporaryNames::isTemporaryOf(e.temporary, name),
                  "a staged file is a temporary of its target");
        fuzzCheck(e.aside.isEmpty() || TemporaryNames::isAsideOf(e.aside, name), "a kept file is its target's");
    }
    const QByteArray written = journal->serialize();
    const std::optional<ExportSet::Journal> back = ExportSet::Journal::parse(written, table);
    fuzzCheck(back && back->serialize() == written, "what is written reads back unchanged");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    checkExportSet(fuzzBytes(data, size));
    const std::optional<BatchJournal> journal = BatchJournal::parse(fuzzBytes(data, size));
    if (!journal)
        return 0;
    fuzzCheck(!journal->entries.isEmpty(), "a journal names at least one file");
    QSet<QString> targets;
    for (const BatchJournal::Entry& e : journal->entries) {
        fuzzCheck(!e.target.contains(QLatin1Char('/')) && !e.target.contains(QLatin1Char('\\')) &&
                      e.target != QLatin1String("..") && e.target != QLatin1String("."),
                  "targets lie beside the journal");
        fuzzCheck(TemporaryNames::isTemporaryOf(e.temporary, e.target), "a staged file is a temporary of its target");
        fuzzCheck(e.aside.isEmpty() || TemporaryNames::isAsideOf(e.aside, e.target),
                  "a kept file is the aside of its target");
        fuzzCheck(TemporaryNames::isOurs(e.temporary), "the start-up cleanup recognises the staged files");
        fuzzCheck(!targets.contains(e.target), "no target twice");
        targets.insert(e.target);
    }
    const QByteArray written = journal->serialize();
    const std::optional<BatchJournal> back = BatchJournal::parse(written);
    fuzzCheck(back && back->serialize() == written, "what is written reads back unchanged");
    return 0;
}
