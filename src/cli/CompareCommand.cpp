#include "base/FileIdentity.h"
#include "base/TextFile.h"
#include "base/UserError.h"
#include "cli/CliArgs.h"
#include "cli/CliCommands.h"
#include "cli/EvaluationOptions.h"
#include "render/ComparisonPages.h"
#include "render/ComparisonTable.h"
#include "render/EvaluationJson.h"
#include "services/ExaminationComparison.h"

#include <QGuiApplication>
#include <QJsonDocument>

namespace {

int runCompare(const QStringList& arguments) {
    CliArgs args;
    if (!CliArgs::parse(arguments, EvaluationOptions::names() << QStringLiteral("-o"),
                        {QStringLiteral("--json"), QStringLiteral("--pdf")}, args))
        return usageError(kCompareCommand);
    if (args.help)
        return printHelp(kCompareCommand);
    const qsizetype count = args.positional.size();
    if (count < Comparison::kMinimum || count > Comparison::kMaximum) {
        printErr(QStringLiteral("Két–négy vizsgálati fájl hasonlítható össze.\n"));
        return usageError(kCompareCommand);
    }
    const bool pdf = args.has(QStringLiteral("--pdf"));
    const QString output = args.value(QStringLiteral("-o"));
    if (pdf && (args.has(QStringLiteral("--json")) || output.isEmpty())) {
        printErr(QStringLiteral("A --pdf mellé a -o FILE kell, a --json nem.\n"));
        return usageError(kCompareCommand);
    }
    // main() makes the GUI application whenever --pdf is asked for; without it there are no fonts.
    if (pdf && !qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        printErr(QStringLiteral("A PDF-hez nem indítható el a rajzoló környezet.\n"));
        return 2;
    }
    EvaluationOptions options;
    if (const int status = options.load(args))
        return status;
    if (!output.isEmpty()) {
        const QString input = FileIdentity::overwrittenInput(output, QStringList(args.positional) << options.keyPath);
        if (!input.isEmpty()) {
            printErr(output + QStringLiteral(": a kimenet nem írhatja felül a beolvasott fájlt: ") + input +
                     QLatin1Char('\n'));
            return 2;
        }
    }
    const QChar sep = options.decimalSeparator;
    try {
        const Comparison comparison = ExaminationComparison::read(args.positional, options.key);
        if (pdf) {
            ComparisonPages::writePdf(output, comparison, sep);
            printOut(output + QLatin1Char('\n'));
            return 0;
        }
        const QString text =
            args.has(QStringLiteral("--json"))
                ? QString::fromUtf8(QJsonDocument(comparisonJson(comparison, sep)).toJson(QJsonDocument::Indented))
                : ComparisonTable(comparison, sep).plainText();
        if (output.isEmpty())
            printOut(text);
        else
            TextFile::writeBytes(output, text.toUtf8());
    } catch (const UserError& error) {
        printErr(error.text() + QLatin1Char('\n'));
        return 2;
    }
    return 0;
}

} // namespace

const Subcommand kCompareCommand{
    "compare", "gyvkt-cli compare A.kvx B.kvx [C.kvx D.kvx] [--gcr KEY.gcr] [--decimal SEP] [--json] [-o FILE] [--pdf]",
    "Két–négy vizsgálat ugyanarról a gyermekről, egymás mellett, a vizsgálat dátuma szerinti sorrendben:\n"
    "életkor és korcsoport, lejelölt képek, GCR-százalék, a profil, a felettes-én mutatók, a tendenciák,\n"
    "a Rauchfleisch-mutatók és a totális mutató; minden későbbi vizsgálat mellett a változás az első\n"
    "értékelhetőhöz képest (előjeles szám, és ha az osztály is változott, mindkét osztály). A jegyzőkönyv\n"
    "kapuján el nem jutó vizsgálat ({min_marked}-nál kevesebb lejelölt kép, {ages} éven kívüli életkor) az okával\n"
    "szerepel, és a változásokban nem vesz részt.\n"
    "A --json a vizsgálatok tömbje dátum szerint: az evaluate --json kulcsai, továbbá file és date; a\n"
    "későbbiekben changes, a számok különbsége ugyanazokkal a kulcsokkal; az el nem fogadottakban error.\n"
    "\n"
    "  --json           JSON kimenet a táblázat helyett\n"
    "  --pdf            A4-es PDF a táblázattal (a -o FILE kötelező mellé)\n"
    "  -o FILE          a kimenet fájlba, a szabványos kimenet helyett\n",
    runCompare, true};
