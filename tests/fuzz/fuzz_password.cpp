// The password store on any bytes: a damaged store never yields a short or non-numeric
// password, and a changed password always reads back from the store it was written into.
#include "FuzzInput.h"
#include "app/CommandLine.h"
#include "base/Cp1250.h"
#include "base/TextFile.h"
#include "formats/PasswordStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = Cp1250::decode(fuzzBytes(data, size));
    const QStringList lines = TextFile::splitLines(text);
    if (const std::optional<QString> password = PasswordStore::passwordFromLines(lines)) {
        fuzzCheck(password->size() >= PasswordStore::MinLength && password->size() <= PasswordStore::MaxLength,
                  "6 to 9 characters");
        for (QChar c : *password)
            fuzzCheck(c >= QLatin1Char('0') && c <= QLatin1Char('9'), "digits only");
    }
    const QString changed = QStringLiteral("9081726");
    const QStringList stored =
        TextFile::splitLines(Cp1250::decode(TextFile::encodeLines(PasswordStore::withPassword(lines, changed))));
    fuzzCheck(PasswordStore::passwordFromLines(stored) == changed, "a changed password reads back");
    for (int i = 0; i < lines.size() && i < stored.size(); ++i) {
        if (i != PasswordStore::PasswordLine - 1)
            fuzzCheck(stored.at(i) == lines.at(i), "other lines are kept");
    }
    // The same text as command-line parameters.
    const CommandLine commandLine = CommandLine::parse(text.split(QLatin1Char('\n')).mid(0, 3));
    fuzzCheck(!commandLine.handoverPassword || commandLine.handoverPassword->size() <= text.size(),
              "the handed-over password comes from the parameter");
    return 0;
}
