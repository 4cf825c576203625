#include "cli/EvaluationOptions.h"

#include "base/DataRoot.h"
#include "base/DataTree.h"
#include "base/UserError.h"
#include "cli/CliCommands.h"
#include "model/Evaluate.h"
#include "render/NumberText.h"
#include "services/EvaluatedExamination.h"

#include <QFileInfo>

QStringList EvaluationOptions::names() {
    return {QStringLiteral("--gcr"), QStringLiteral("--decimal")};
}

int EvaluationOptions::load(const CliArgs& args, const DataRoot& root) {
    if (args.given(QStringLiteral("--decimal"))) {
        const QString separator = args.value(QStringLiteral("--decimal"));
        if (separator.size() != 1) {
            printErr(QStringLiteral("A tizedesjel egyetlen karakter legyen: %1\n").arg(separator));
            return 1;
        }
        decimalSeparator = separator.at(0);
    } else {
        decimalSeparator = userDecimalSeparator();
    }
    keyPath = args.given(QStringLiteral("--gcr")) ? args.value(QStringLiteral("--gcr")) : root.gcrKeyFile();
    // A data root the program never started in has no key yet; the one the program would copy
    // there on its first start is the same key. A key that is there but broken stays an error.
    if (!args.given(QStringLiteral("--gcr")) && !QFileInfo::exists(keyPath)) {
        const QString shipped = DataRoot(DataTree::defaultTreeDir()).gcrKeyFile();
        if (QFileInfo::exists(shipped)) {
            printErr(
                QStringLiteral("Az adatmappában nincs GCR-kulcs (%1); a program telepített kulcsával értékel: %2\n")
                    .arg(keyPath, shipped));
            keyPath = shipped;
        }
    }
    try {
        key = GcrKey::load(keyPath);
    } catch (const UserError& e) {
        printErr(keyPath + QStringLiteral(": ") + e.text() + QLatin1Char('\n'));
        return 2;
    }
    return 0;
}

bool EvaluatedFile::evaluate(const QString& path, const EvaluationOptions& options) {
    try {
        EvaluatedExamination examination = EvaluatedExamination::read(path, options.key);
        result = examination.evaluation();
        data = std::move(examination.data);
        coding = std::move(examination.coding);
        return true;
    } catch (const UserError& error) {
        printErr(path + QStringLiteral(": ") + error.text() + QLatin1Char('\n'));
        return false;
    }
}

bool EvaluatedFile::tooFewForProtocol(const QString& path) const {
    const int marked = coding.markedPictureCount();
    if (ProtocolGate::refusal(marked, data.personal.age) != ProtocolRefusal::TooFewMarked)
        return false;
    printErr(path + QStringLiteral(": ") +
             ProtocolGate::refusalText(ProtocolRefusal::TooFewMarked, marked, data.personal.age) + QLatin1Char('\n'));
    return true;
}
