#include "base/Cp1250.h"
#include "cli/CliCommands.h"
#include "model/AgeBrackets.h"
#include "model/ProtocolGate.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScopeGuard>
#include <QThreadPool>

#include <csignal>
#include <cstdio>
#include <memory>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

namespace {

const char* const kFooter = "\n"
                            "A fájlnevek a parancs indításának mappájához képest értendők. Egy vizsgálati fájl\n"
                            "legfeljebb 4 MiB lehet, és szabályos fájl kell legyen. A \"--\" után minden argumentum\n"
                            "fájlnév, akkor is, ha kötőjellel kezdődik. Bármely parancs után a --help annak\n"
                            "súgóját mutatja.\n"
                            "\n"
                            "Kilépési kód: 0 siker, 1 hibás használat, 2 hibás vagy olvashatatlan fájl, {ages}\n"
                            "éven kívüli életkor (arról a vizsgálatról nem készül fájl), a bemenetre írandó kimenet,\n"
                            "vagy nem írható szabványos kimenet.\n";

// The help texts name the program's rules by these marks, so that the ages and the number of
// marked pictures come from the one place that holds them.
QString withRules(const char* text) {
    return QString::fromUtf8(text)
        .replace(QLatin1String("{ages}"), AgeBrackets::rangeText())
        .replace(QLatin1String("{brackets}"), AgeBrackets::listText())
        .replace(QLatin1String("{min_marked}"), QString::number(kMinimumMarkedPictures));
}

QString overview() {
    QString text = QStringLiteral("gyvkt-cli - gyermek VKT parancssori eszköze\n\nHasználat:\n");
    for (const Subcommand* command : subcommands())
        text += QStringLiteral("  ") + QString::fromUtf8(command->usage) + QLatin1Char('\n');
#ifndef GYVKT_WITH_INSTITUTION
    text += QStringLiteral("\nAz intézményi archívum parancsai (server, sync, pull, --db) ebben a kiadásban nem "
                           "érhetők el.\n");
#endif
    text += QStringLiteral("\nRészletek: gyvkt-cli PARANCS --help\n");
    return text + withRules(kFooter);
}

QtMessageHandler qtHandler = nullptr;

// The offscreen platform asks for a runtime folder that a batch run does not need; its
// complaint would only clutter the messages that concern the files.
void quietStandardPaths(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.startsWith(QLatin1String("QStandardPaths:")))
        return;
    if (qtHandler)
        qtHandler(type, context, text);
    else
        printErr(qFormatLogMessage(type, context, text) + QLatin1Char('\n'));
}

// A result cut short by a full disk or a closed pipe must not pass for the whole of it.
int withOutputChecked(int status) {
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return status;
    printErr(QStringLiteral("A kimenet nem írható ki teljesen (megtelt a lemez, vagy bezárult, ahová írt); "
                            "az eredmény hiányos.\n"));
    return 2;
}

// The output is UTF-8 with bare line feeds on every system: a console is told so, and no line
// end is widened on the way to a file or a pipe.
void useUtf8Output() {
#ifdef Q_OS_WIN
    SetConsoleOutputCP(CP_UTF8);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
}

} // namespace

const QList<const Subcommand*>& subcommands() {
    static const QList<const Subcommand*> all{&kDumpCommand,   &kProtocolCommand,  &kEvaluateCommand, &kCompareCommand,
                                              &kExportCommand, &kAgreementCommand, &kNormsCommand,    &kListCommand,
                                              &kBackupCommand, &kVerifyCommand,    &kRestoreCommand,
#ifdef GYVKT_WITH_INSTITUTION
                                              &kServerCommand, &kSyncCommand,      &kPullCommand
#endif
    };
    return all;
}

void printOut(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
}

void printErr(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
}

int printHelp(const Subcommand& command) {
    QString text = QStringLiteral("Használat: ") + QString::fromUtf8(command.usage) + QStringLiteral("\n\n") +
                   withRules(command.help);
    if (command.evaluates)
        text += QStringLiteral("  --gcr KEY.gcr    a GCR-kulcs (alapértelmezés: az adatmappa magyar.gcr fájlja; ha az\n"
                               "                   nincs, a programmal telepített kulcs)\n"
                               "  --decimal SEP    tizedesjel (alapértelmezés: a felhasználó területi beállítása)\n");
    printOut(text + withRules(kFooter));
    return 0;
}

int usageError(const Subcommand& command) {
    printErr(QStringLiteral("Használat: ") + QString::fromUtf8(command.usage) +
             QStringLiteral("\nRészletek: gyvkt-cli %1 --help\n").arg(QLatin1String(command.name)));
    return 1;
}

int main(int argc, char** argv) {
    useUtf8Output();
#ifndef Q_OS_WIN
    // A reader that has gone must end the run with a message and status 2, not kill it unseen.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    QStringList raw;
    for (int i = 1; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    std::unique_ptr<QCoreApplication> app;
    if (wantsGuiApplication(raw)) {
        // Fonts need the GUI application, a screen does not: offscreen unless the caller chose.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        qtHandler = qInstallMessageHandler(quietStandardPaths);
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    // The worker threads end here, while the program is whole: left to the end of the process,
    // Windows waits for them while unloading Qt, and a thread that must end then can hang it.
    const auto joinWorkers = qScopeGuard([] { QThreadPool::globalInstance()->waitForDone(); });
    if (!Cp1250::available()) {
        printErr(QStringLiteral("A Windows-1250 kódolás nem érhető el ezen a rendszeren.\n"));
        return 2;
    }
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        printOut(overview());
        return withOutputChecked(args.isEmpty() ? 1 : 0);
    }
    const QString name = args.takeFirst();
    for (const Subcommand* command : subcommands()) {
        if (name == QLatin1String(command->name))
            return withOutputChecked(command->run(args));
    }
    printErr(QStringLiteral("Ismeretlen parancs: ") + name + QStringLiteral("\n\n") + overview());
    return 1;
}
