#include "cli/CliCommands.h"
#include "core/platform/Cp1250.h"

#include <QCoreApplication>

#include <cstdio>

namespace {
const char* const kHelp = "gyvkt-cli - gyermek VKT parancssori eszköze\n"
                          "\n"
                          "Használat:\n"
                          "  gyvkt-cli dump EXAM.kvx\n"
                          "      A vizsgálati fájl tartalma UTF-8 JSON-ként: code, name, age, date, examiner,\n"
                          "      sex (\"boy\"/\"girl\"), scoring_lines (24 × 4 mező), answers (24 válasz).\n"
                          "  gyvkt-cli protocol EXAM.kvx... [--gcr KEY.gcr] [--decimal SEP] [-o OUT]\n"
                          "      HTML jegyzőkönyv egy vagy több vizsgálatról. Egy vizsgálatnál OUT a HTML fájl\n"
                          "      (alapértelmezés: <kód>.html az aktuális mappában), többnél OUT egy mappa.\n"
                          "  gyvkt-cli evaluate EXAM.kvx [--gcr KEY.gcr] [--decimal SEP] --json\n"
                          "      A kiértékelés minden értéke JSON-ként, a 24 GCR-pont, a GCR-pontszám és az öt\n"
                          "      Rauchfleisch-mutató (null, ha nincs értéke).\n"
                          "\n"
                          "  --gcr KEY.gcr    a GCR-kulcs (alapértelmezés: az adatmappa magyar.gcr fájlja)\n"
                          "  --decimal SEP    tizedesjel (alapértelmezés: a felhasználó területi beállítása)\n"
                          "\n"
                          "Kilépési kód: 0 siker, 1 hibás használat, 2 hibás vagy olvashatatlan fájl, vagy 7–14 éven\n"
                          "kívüli életkor (arról a vizsgálatról nem készül fájl).\n";
} // namespace

void printOut(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
}

void printErr(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (!Cp1250::available()) {
        printErr(QStringLiteral("A Windows-1250 kódolás nem érhető el ezen a rendszeren.\n"));
        return 2;
    }
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        printOut(QString::fromUtf8(kHelp));
        return args.isEmpty() ? 1 : 0;
    }
    const QString command = args.takeFirst();
    if (command == QLatin1String("dump"))
        return runDump(args);
    if (command == QLatin1String("protocol"))
        return runProtocol(args);
    if (command == QLatin1String("evaluate"))
        return runEvaluate(args);
    printErr(QStringLiteral("Ismeretlen parancs: ") + command + QStringLiteral("\n") + QString::fromUtf8(kHelp));
    return 1;
}
