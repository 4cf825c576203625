// The batch journal reader on any bytes: what it takes names only the program's own
// temporaries of plain file names beside the journal, and what it writes it reads back.
#include "FuzzInput.h"
#include "base/BatchJournal.h"
#include "base/TemporaryNames.h"

#include <QSet>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
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
