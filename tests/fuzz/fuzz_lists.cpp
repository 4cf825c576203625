// The list and memo readers on any bytes: Windows-1250 reads and writes back every byte, and
// lines written as a list read back as the same lines.
#include "FuzzInput.h"
#include "base/Cp1250.h"
#include "base/TextFile.h"
#include "formats/HelpTexts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzzBytes(data, size);
    const QString text = Cp1250::decode(bytes);
    fuzzCheck(Cp1250::encode(text) == bytes, "every byte reads and writes back");
    const QStringList lines = TextFile::splitLines(text);
    for (const QString& line : lines)
        fuzzCheck(!line.contains(QLatin1Char('\r')) && !line.contains(QChar(26)), "no line holds CR or Ctrl-Z");
    fuzzCheck(TextFile::splitLines(Cp1250::decode(TextFile::encodeLines(lines))) == lines,
              "a list of lines reads back");
    // An editor's text written as a memo and read back as the editor would show it.
    const QString memo = HelpTexts::memoText(lines);
    const QString shown =
        Cp1250::decode(TextFile::encodeMemoText(memo)).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    fuzzCheck(shown == memo, "a memo reads back");
    HelpTexts::memoLines(memo);
    return 0;
}
