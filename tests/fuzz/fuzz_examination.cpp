// The examination reader on any bytes: it either refuses with a message or reads something that
// writes back into a file it reads the same again.
#include "FuzzInput.h"
#include "base/UserError.h"
#include "formats/ExaminationFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString name = QStringLiteral("fuzz.kvx");
    ExaminationData read;
    try {
        read = ExaminationFile::parse(fuzzBytes(data, size), name);
    } catch (const UserError& e) {
        fuzzCheck(e.text().contains(name), "a refusal names the file");
        return 0;
    }
    const ExaminationData again = ExaminationFile::parse(ExaminationFile::serialize(read), name);
    fuzzCheck(again.personal == read.personal, "personal data survive a save");
    fuzzCheck(again.lines == read.lines, "scoring lines survive a save");
    fuzzCheck(again.answers == read.answers, "answers survive a save");
    return 0;
}
