#include "base/ClosedFolder.h"
#include "base/FileIdentity.h"
#include "base/UserError.h"
#include "cli/CliArgs.h"
#include "cli/CliCommands.h"
#include "cli/EvaluationOptions.h"
#include "render/EvaluationJson.h"
#include "render/ProtocolPages.h"
#include "render/ProtocolWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QSet>

namespace {

// "-o" names a folder when it is one already or ends with a separator.
bool namesFolder(const QString& output) {
    return QFileInfo(output).isDir() || output.endsWith(QLatin1Char('/')) || output.endsWith(QDir::separator());
}

int runProtocol(const QStringList& arguments) {
    CliArgs args;
    if (!CliArgs::parse(arguments, EvaluationOptions::names() << QStringLiteral("-o"), {QStringLiteral("--pdf")}, args))
        return usageError(kProtocolCommand);
    if (args.help)
        return printHelp(kProtocolCommand);
    if (args.positional.isEmpty()) {
        printErr(QStringLiteral("Nincs megadva vizsgálati fájl.\n"));
        return usageError(kProtocolCommand);
    }
    const bool pdf = args.has(QStringLiteral("--pdf"));
    // main() makes the GUI application whenever --pdf is asked for; without it there are no fonts.
    if (pdf && !qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        printErr(QStringLiteral("A PDF jegyzőkönyvhöz nem indítható el a rajzoló környezet.\n"));
        return 2;
    }
    const QString extension = pdf ? QStringLiteral(".pdf") : QStringLiteral(".html");
    EvaluationOptions options;
    if (const int status = options.load(args))
        return status;

    const QString output = args.value(QStringLiteral("-o"));
    const bool intoFolder = !output.isEmpty() && (args.positional.size() > 1 || namesFolder(output));
    QDir folder = QDir::current();
    if (intoFolder) {
        if (!ClosedFolder::makePath(output)) {
            printErr(output + QStringLiteral(": a kimeneti mappa nem hozható létre.\n"));
            return 2;
        }
        folder = QDir(output);
    }

    int status = 0;
    QSet<QString> written;
    // A protocol written over a file the run reads (through a link or a hard link too) would
    // destroy an examination or the key.
    const QStringList inputs = QStringList(args.positional) << options.keyPath;
    for (const QString& path : std::as_const(args.positional)) {
        EvaluatedFile e;
        if (!e.evaluate(path, options) || e.tooFewForProtocol(path)) {
            status = 2;
            continue;
        }
        const QString& code = e.data.personal.code;
        QString target = intoFolder ? QString() : output;
        if (target.isEmpty()) {
            if (code.isEmpty()) {
                printErr(path + QStringLiteral(": a fájlnévből nem adódik kód, a jegyzőkönyvnek nincs neve.\n"));
                status = 2;
                continue;
            }
            // Two examinations of one code would overwrite each other's protocol.
            if (written.contains(code)) {
                printErr(path +
                         QStringLiteral(": a(z) %1 kódú jegyzőkönyv ebben a futásban már elkészült.\n").arg(code));
                status = 2;
                continue;
            }
            target = folder.filePath(code + extension);
        }
        if (const QString input = FileIdentity::overwrittenInput(target, inputs); !input.isEmpty()) {
            printErr(path + QStringLiteral(": a jegyzőkönyv nem írhatja felül a beolvasott fájlt: ") + input +
                     QLatin1Char('\n'));
            status = 2;
            continue;
        }
        try {
            if (pdf)
                ProtocolPages::writePdf(target, e.data.personal, e.coding, e.result, options.decimalSeparator);
            else
                ProtocolWriter::writeProtocol(target, e.data.personal, e.coding, e.result, options.decimalSeparator);
            written.insert(code);
            printOut(target + QLatin1Char('\n'));
        } catch (const UserError& error) {
            printErr(path + QStringLiteral(": ") + error.text() + QLatin1Char('\n'));
            status = 2;
        }
    }
    return status;
}

} // namespace

bool wantsGuiApplication(const QStringList& args) {
    if (args.isEmpty() ||
        (args.first() != QLatin1String(kProtocolCommand.name) && args.first() != QLatin1String(kCompareCommand.name)))
        return false;
    for (const QString& arg : args) {
        if (arg == QLatin1String("--"))
            return false;
        if (arg == QLatin1String("--pdf"))
            return true;
    }
    return false;
}

namespace {

int runEvaluate(const QStringList& arguments) {
    CliArgs args;
    if (!CliArgs::parse(arguments, EvaluationOptions::names(), {QStringLiteral("--json")}, args))
        return usageError(kEvaluateCommand);
    if (args.help)
        return printHelp(kEvaluateCommand);
    if (args.positional.size() != 1 || !args.has(QStringLiteral("--json")))
        return usageError(kEvaluateCommand);
    EvaluationOptions options;
    if (const int status = options.load(args))
        return status;
    EvaluatedFile e;
    if (!e.evaluate(args.positional.first(), options))
        return 2;
    printOut(
        QString::fromUtf8(QJsonDocument(evaluationJson(e.data.personal, e.coding, e.result, options.decimalSeparator))
                              .toJson(QJsonDocument::Indented)));
    return 0;
}

} // namespace

const Subcommand kProtocolCommand{
    "protocol", "gyvkt-cli protocol EXAM.kvx... [--gcr KEY.gcr] [--decimal SEP] [--pdf] [-o OUT]",
    "HTML jegyzőkönyv egy vagy több vizsgálatról, ugyanaz, amit a program \"Kész jegyzőkönyv\" parancsa ír,\n"
    "és ugyanúgy csak legalább {min_marked} lejelölt képpel és {ages} éves életkorral készül el.\n"
    "Egy vizsgálatnál OUT a HTML fájl; ha OUT egy létező mappa vagy elválasztójellel (/) végződik,\n"
    "akkor abba a mappába kerül <kód>.html. Több vizsgálatnál OUT mindig mappa. OUT nélkül <kód>.html\n"
    "az aktuális mappába kerül. Minden elkészült fájl útvonala egy sorban a kimenetre kerül.\n"
    "A --pdf HTML helyett A4-es PDF-et ír (<kód>.pdf): a jegyzőkönyv lapja után a profil ábrája.\n"
    "\n"
    "  --pdf            PDF jegyzőkönyv a HTML helyett\n"
    "  -o OUT           a kimeneti fájl vagy mappa\n",
    runProtocol, true};

const Subcommand kEvaluateCommand{
    "evaluate", "gyvkt-cli evaluate EXAM.kvx [--gcr KEY.gcr] [--decimal SEP] --json",
    "A kiértékelés minden értéke JSON-ként: a 24 GCR-pont, a GCR-pontszám, a profil, a felettes-én\n"
    "mutatók, a tendenciák, a totális mutató és az öt Rauchfleisch-mutató (null, ha nincs értéke).\n"
    "\n"
    "  --json           JSON kimenet (kötelező)\n",
    runEvaluate, true};
