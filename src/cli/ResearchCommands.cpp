#include "base/UserError.h"
#include "cli/CliArgs.h"
#include "cli/CliCommands.h"
#include "cli/EvaluationOptions.h"
#include "render/NumberText.h"
#include "render/ResearchText.h"
#include "services/ArchiveExport.h"
#include "services/ArchiveFolder.h"
#include "services/ArchiveNorms.h"
#include "services/CoderAgreement.h"

#ifdef GYVKT_WITH_INSTITUTION
#include "cli/ServerConnection.h"
#include "cli/ServerResearch.h"
#endif

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// The examination files of FILE_OR_DIR arguments; false, after saying which argument does not
// exist or that none was found, when there is nothing to read.
bool collectFiles(const QStringList& arguments, QStringList& files) {
    QStringList duplicates;
    try {
        files = ArchiveFolder::expand(arguments, &duplicates);
    } catch (const UserError& e) {
        printErr(e.text() + QLatin1Char('\n'));
        return false;
    }
    for (const QString& file : std::as_const(duplicates))
        printErr(QStringLiteral("Többször megadott fájl, egyszer számít: %1\n").arg(QDir::toNativeSeparators(file)));
    if (files.isEmpty()) {
        printErr(
            QStringLiteral("Nem található vizsgálati fájl (*.kvx): %1\n").arg(arguments.join(QStringLiteral(", "))));
        return false;
    }
    return true;
}

QJsonValue optionalJson(const std::optional<double>& value) {
    return value ? QJsonValue(*value) : QJsonValue();
}

QString padded(const QString& text, int width) {
    return text.leftJustified(width);
}

QString rightAligned(const QString& text, int width) {
    return text.rightJustified(width);
}

// ---- export -----------------------------------------------------------------------------------

// The server's research commands take --db in place of files.
QStringList withServer(QStringList options) {
#ifdef GYVKT_WITH_INSTITUTION
    options << ServerConnection::kOption;
#endif
    return options;
}

bool fromServer(const CliArgs& args) {
#ifdef GYVKT_WITH_INSTITUTION
    return args.given(ServerConnection::kOption);
#else
    Q_UNUSED(args);
    return false;
#endif
}

int runExport(const QStringList& arguments) {
    CliArgs args;
    if (!CliArgs::parse(arguments,
                        withServer({QStringLiteral("-o"), QStringLiteral("--gcr"), QStringLiteral("--link-table")}),
                        {QStringLiteral("--anonymize"), QStringLiteral("--excel")}, args))
        return usageError(kExportCommand);
    if (args.help)
        return printHelp(kExportCommand);
    if (args.positional.isEmpty() != fromServer(args) || args.value(QStringLiteral("-o")).isEmpty())
        return usageError(kExportCommand);
    const QString linkTable = args.value(QStringLiteral("--link-table"));
    if (args.given(QStringLiteral("--link-table")) &&
        (linkTable.isEmpty() || !args.has(QStringLiteral("--anonymize")))) {
        printErr(QStringLiteral("A --link-table az --anonymize mellé való: anonimizálás nélkül a táblázat maga "
                                "tartalmazza a fájlt és a kódot.\n"));
        return usageError(kExportCommand);
    }
    EvaluationOptions options;
    if (const int status = options.load(args))
        return status;
    const CsvDialect dialect =
        args.has(QStringLiteral("--excel")) ? CsvDialect::excelHungarian() : CsvDialect::standard();
#ifdef GYVKT_WITH_INSTITUTION
    // The server gives pseudonyms only: its table is always the anonymized one, with no link.
    if (fromServer(args))
        return args.given(QStringLiteral("--link-table")) ? usageError(kExportCommand)
                                                          : ServerResearch::exportTable(args, options.key, dialect);
#endif
    QStringList files;
    if (!collectFiles(args.positional, files))
        return 2;

    const QString output = args.value(QStringLiteral("-o"));
    const ArchiveExport::Options exportOptions{dialect, args.has(QStringLiteral("--anonymize"))};
    const ArchiveExport::Result result = ArchiveExport::build(files, options.key, exportOptions);
    for (const QString& error : result.errors)
        printErr(error + QLatin1Char('\n'));
    try {
        ArchiveExport::write(output, result, files, linkTable);
    } catch (const UserError& e) {
        printErr(output + QStringLiteral(": ") + e.text() + QLatin1Char('\n'));
        return 2;
    }
    printOut(output + QLatin1Char('\n') + ArchiveExport::codebookPath(output) + QLatin1Char('\n') +
             (linkTable.isEmpty() ? QString() : linkTable + QLatin1Char('\n')));
    return 0;
}

// ---- agreement --------------------------------------------------------------------------------

QString kappaText(const std::optional<double>& kappa, QChar mark) {
    if (!kappa)
        return QStringLiteral("nem értelmezhető");
    return ResearchText::twoDecimalText(*kappa, mark) + QStringLiteral("  ") + CoderAgreement::kappaReading(*kappa);
}

QString agreementTable(const CoderAgreement::Result& r, QChar mark) {
    const QString none = QStringLiteral("–");
    QString t;
    t += QStringLiteral("Párok: %1, egységek: %2\n").arg(r.pairs).arg(r.units);
    t += QStringLiteral("Csak A-ban: %1\n").arg(r.onlyInA.isEmpty() ? none : r.onlyInA.join(QStringLiteral(", ")));
    t += QStringLiteral("Csak B-ben: %1\n").arg(r.onlyInB.isEmpty() ? none : r.onlyInB.join(QStringLiteral(", ")));
    t += QStringLiteral("\nEgyezés: %1%\n").arg(ResearchText::twoDecimalText(r.percentAgreement, mark));
    t += QStringLiteral("\nCohen-féle kappa\n");
    const std::pair<const char*, const std::optional<double>*> kappas[] = {
        {"O-D", &r.kappaOd}, {"E-D", &r.kappaEd}, {"N-P", &r.kappaNp}, {"együtt", &r.kappaAll}};
    for (const auto& [label, value] : kappas)
        t += QStringLiteral("  ") + padded(QString::fromUtf8(label), 8) + kappaText(*value, mark) + QLatin1Char('\n');
    t += QStringLiteral("\nKrippendorff-féle alfa (nominális): %1\n")
             .arg(r.alpha ? ResearchText::twoDecimalText(*r.alpha, mark) : QStringLiteral("nem értelmezhető"));
    t += QStringLiteral("\nKódonként (kappa a kód jelenlétére képenként)\n");
    for (size_t c = 0; c < ScoreCodes::kCount; ++c)
        t += QStringLiteral("  ") + padded(ScoreCodes::all()[c].text(), 8) + kappaText(r.codeKappa[c], mark) +
             QLatin1Char('\n');
    t += QStringLiteral("\nKépenként (egyezés %)\n");
    for (int row = 0; row < 4; ++row) {
        QString line = QStringLiteral(" ");
        for (int column = 0; column < 6; ++column) {
            const int picture = row * 6 + column + 1;
            line += QStringLiteral(" %1: %2")
                        .arg(picture, 2)
                        .arg(rightAligned(
                            ResearchText::twoDecimalText(r.pictures[static_cast<size_t>(picture - 1)], mark), 6));
        }
        t += line + QLatin1Char('\n');
    }
    auto limit = [mark](double value) { return ResearchText::twoDecimalText(value, mark); };
    t += QStringLiteral("\nA kappa olvasata: 0 alatt rossz, 0–%1 csekély, %2–%3 gyenge, %4–%5 mérsékelt,\n"
                        "%6–%7 jelentős, %7 fölött kiváló egyezés.\n")
             .arg(limit(0.2), limit(0.21), limit(0.4), limit(0.41), limit(0.6), limit(0.61), limit(0.8));
    return t;
}

QJsonObject agreementJson(const CoderAgreement::Result& r) {
    QJsonObject o;
    o.insert(QStringLiteral("pairs"), r.pairs);
    o.insert(QStringLiteral("units"), r.units);
    o.insert(QStringLiteral("percent_agreement"), r.percentAgreement);
    o.insert(QStringLiteral("kappa"), QJsonObject{{QStringLiteral("od"), optionalJson(r.kappaOd)},
                                                  {QStringLiteral("ed"), optionalJson(r.kappaEd)},
                                                  {QStringLiteral("np"), optionalJson(r.kappaNp)},
                                                  {QStringLiteral("all"), optionalJson(r.kappaAll)}});
    o.insert(QStringLiteral("alpha"), optionalJson(r.alpha));
    QJsonObject codes;
    for (size_t c = 0; c < ScoreCodes::kCount; ++c)
        codes.insert(ScoreCodes::all()[c].text(), optionalJson(r.codeKappa[c]));
    o.insert(QStringLiteral("codes"), codes);
    QJsonArray pictures;
    for (const double p : r.pictures)
        pictures.append(p);
    o.insert(QStringLiteral("pictures"), pictures);
    o.insert(QStringLiteral("only_in_a"), QJsonArray::fromStringList(r.onlyInA));
    o.insert(QStringLiteral("only_in_b"), QJsonArray::fromStringList(r.onlyInB));
    return o;
}

int runAgreement(const QStringList& arguments) {
    CliArgs args;
    if (!CliArgs::parse(arguments, {}, {QStringLiteral("--json")}, args))
        return usageError(kAgreementCommand);
    if (args.help)
        return printHelp(kAgreementCommand);
    if (args.positional.size() != 2)
        return usageError(kAgreementCommand);
    QStringList filesA;
    QStringList filesB;
    if (!collectFiles({args.positional.at(0)}, filesA) || !collectFiles({args.positional.at(1)}, filesB))
        return 2;
    CoderAgreement::Result result;
    try {
        result = CoderAgreement::compareFiles(filesA, filesB);
    } catch (const UserError& e) {
        printErr(e.text() + QLatin1Char('\n'));
        return 2;
    }
    if (args.has(QStringLiteral("--json")))
        printOut(QString::fromUtf8(QJsonDocument(agreementJson(result)).toJson(QJsonDocument::Indented)));
    else
        printOut(agreementTable(result, userDecimalSeparator()));
    return 0;
}

// ---- norms ------------------------------------------------------------------------------------

QString measureLabel(int measure) {
    static const char* const labels[ArchiveNorms::kMeasureCount] = {"GCR",
                                                                    "E",
                                                                    "I",
                                                                    "M",
                                                                    "O-D",
                                                                    "E-D",
                                                                    "N-P",
                                                                    "Felettes-én 1",
                                                                    "Felettes-én 2",
                                                                    "Felettes-én 3",
                                                                    "Felettes-én 4",
                                                                    "Felettes-én 5",
                                                                    "Felettes-én 6"};
    return QString::fromUtf8(labels[measure]);
}

QString normsTable(const ArchiveNorms::Report& report, QChar mark) {
    const QString none = QStringLiteral("–");
    auto number = [&](const std::optional<double>& v) {
        return rightAligned(v ? ResearchText::twoDecimalText(*v, mark) : none, 8);
    };
    QString t;
    for (const ArchiveNorms::Bracket& bracket : report.brackets) {
        t += QStringLiteral("%1–%2 év: %3 vizsgálat\n").arg(bracket.fromAge).arg(bracket.toAge).arg(bracket.n);
        t += padded(QStringLiteral("mérték (%)"), 15) + rightAligned(QStringLiteral("Q1"), 8) +
             rightAligned(QStringLiteral("Mdn"), 8) + rightAligned(QStringLiteral("Q3"), 8) +
             QStringLiteral("   beépített Q1 / Mdn / Q3\n");
        for (int m = 0; m < ArchiveNorms::kMeasureCount; ++m) {
            const ArchiveNorms::Measure& measure = bracket.measures[static_cast<size_t>(m)];
            t += padded(measureLabel(m), 15) + number(measure.q1) + number(measure.median) + number(measure.q3) +
                 QStringLiteral("   %1 / %2 / %3")
                     .arg(ResearchText::twoDecimalText(measure.builtin.q1, mark),
                          ResearchText::twoDecimalText(measure.builtin.median, mark),
                          ResearchText::twoDecimalText(measure.builtin.q3, mark));
            if (measure.outside.value_or(false))
                t += QStringLiteral("  *");
            t += QLatin1Char('\n');
        }
        t += QLatin1Char('\n');
    }
    t += QStringLiteral("* a beépített medián kívül esik az archívum Q1–Q3 tartományán.\n");
    if (!report.leftOut.isEmpty())
        t += QStringLiteral("Kimaradt %1 fájl (az okok a hibakimeneten).\n").arg(report.leftOut.size());
    return t;
}

int runNorms(const QStringList& arguments) {
    CliArgs args;
    if (!CliArgs::parse(arguments, withServer(EvaluationOptions::names()), {QStringLiteral("--json")}, args))
        return usageError(kNormsCommand);
    if (args.help)
        return printHelp(kNormsCommand);
    if (args.positional.isEmpty() != fromServer(args))
        return usageError(kNormsCommand);
    EvaluationOptions options;
    if (const int status = options.load(args))
        return status;
    std::optional<ArchiveNorms::Report> computed;
#ifdef GYVKT_WITH_INSTITUTION
    if (fromServer(args))
        computed = ServerResearch::norms(args, options.key);
#endif
    if (!fromServer(args)) {
        QStringList files;
        if (!collectFiles(args.positional, files))
            return 2;
        computed = ArchiveNorms::compute(files, options.key);
    }
    if (!computed)
        return 2;
    const ArchiveNorms::Report& report = *computed;
    for (const QString& line : report.leftOut)
        printErr(line + QLatin1Char('\n'));
    if (args.has(QStringLiteral("--json")))
        printOut(QString::fromUtf8(QJsonDocument(ArchiveNorms::toJson(report)).toJson(QJsonDocument::Indented)));
    else
        printOut(normsTable(report, options.decimalSeparator));
    return 0;
}

} // namespace

const Subcommand kExportCommand{
    "export",
    "gyvkt-cli export FILE_OR_DIR... -o OUT.csv [--gcr KEY.gcr] [--anonymize [--link-table LINK.csv]] [--excel]\n"
    "  gyvkt-cli export --db URI -o OUT.csv [--gcr KEY.gcr] [--excel]",
    "A vizsgálatok egy táblázatba, statisztikai programnak. Mappából a *.kvx fájlok kerülnek be, fájlnév\n"
    "szerint rendezve; minden vizsgálat egy sor. Oszlopok: file, code, name, sex, age, date, examiner, a 24\n"
    "jelölési sor nyers mezői (p1_od, p1_ed, p1_np, p1_paren … p24_paren), az evaluate --json minden\n"
    "értéke eval_ előtaggal (a beágyazott nevek \"_\"-vel, a tömbök 1-től számozva; eval_complete: 1, ha\n"
    "jegyzőkönyv készülne), végül error. A szövegek HTML-jelölés nélküliek (\"<Q1\", \"->\"), minden\n"
    "tizedes szám a választott tizedesjellel áll. A hibás vagy {ages} éven kívüli vizsgálat sorában csak a\n"
    "fájl és a hibaüzenet áll; az export folytatódik. A {min_marked}-nál kevesebb jelölt képű vizsgálat is bekerül.\n"
    "OUT mellé kerül az oszlopok leírása (OUT.csv helyett OUT.codebook.csv). Alapértelmezés: RFC 4180,\n"
    "vessző, tizedespont, UTF-8 BOM nélkül.\n"
    "\n"
    "  -o OUT.csv       a kimeneti fájl (kötelező; atomikusan íródik)\n"
    "  --gcr KEY.gcr    a GCR-kulcs (alapértelmezés: az adatmappa magyar.gcr fájlja; ha az\n"
    "                   nincs, a programmal telepített kulcs)\n"
    "  --excel          a magyar beállítású Excel formája: pontosvessző, tizedesvessző, UTF-8 BOM-mal\n"
    "  --anonymize      nincs file, name és examiner oszlop; a kód helyén S0001, S0002, …, amelyeket a\n"
    "                   vizsgálatok véletlen sorrendben kapnak, a sorok a sorszám rendjében; a dátumból\n"
    "                   (ÉÉÉÉ.HH.NN. vagy kiírt hónappal: 2013. július 22., 2013. júl. 22.) csak az év és\n"
    "                   a hónap (ÉÉÉÉ.HH.), más szöveg helyén üres\n"
    "  --link-table LINK.csv\n"
    "                   az --anonymize mellé: a kapcsolótábla (serial, file, code), amely a sorszámokat\n"
    "                   visszavezeti a vizsgálatokra; őrizze az exporttól külön. Nélküle a kapcsolat\n"
    "                   sehova sem íródik ki.\n"
    "\n"
    "Kilépési kód: 0, ha a táblázat elkészült (a hibás vizsgálatok a hibakimeneten is megjelennek);\n"
    "2, ha nincs egyetlen vizsgálati fájl sem, egy megadott fájl vagy mappa nem létezik, vagy OUT nem írható.\n"
    "\n"
    "  --db URI         fájlok helyett az intézményi archívum kutatási nézete (kutatói szerep kell): minden\n"
    "                   vizsgálat legújabb változata, ugyanazokkal az oszlopokkal és kódkönyvvel, mint az\n"
    "                   --anonymize, a kód helyén a kiszolgáló álnevével (a sorok az álnevek rendjében);\n"
    "                   kapcsolótábla nincs. A sorok folyamatosan íródnak, bármennyi vizsgálat lehet. A\n"
    "                   kapcsolat a libpq szokásai szerint (lásd: gyvkt-cli server --help); 2 a kilépési\n"
    "                   kód, ha a kiszolgáló nem érhető el, vagy nem enged be.\n",
    runExport};

const Subcommand kAgreementCommand{
    "agreement", "gyvkt-cli agreement A B [--json]",
    "Két kódoló egyezése ugyanazokon a vizsgálatokon. A és B fájl vagy mappa; a vizsgálatok a kódjuk\n"
    "(a fájl neve) szerint párosulnak, a csak egyik oldalon meglévő kódok kimaradnak és felsorolódnak.\n"
    "Egy egység egy pár egy képének egy oszlopa (O-D, E-D, N-P); kategóriája az oszlop kódjainak halmaza,\n"
    "ahogy a kiértékelés találja őket (\"EENE\" és \"NEEE\" egyezik). Az életkor itt nem számít.\n"
    "\n"
    "Kimenet: párok és egységek száma, százalékos egyezés, Cohen-féle kappa oszloponként és együtt,\n"
    "Krippendorff-féle alfa (nominális), kódonként a kód jelenlétének kappája, képenként az egyezés.\n"
    "A kappa olvasata (Landis–Koch): 0 alatt rossz, 0–0,20 csekély, 0,21–0,40 gyenge, 0,41–0,60\n"
    "mérsékelt, 0,61–0,80 jelentős, 0,80 fölött kiváló. Nem értelmezhető (JSON-ban null), ha a véletlen\n"
    "egyezés 1 (például minden egység ugyanabba a kategóriába esik).\n"
    "\n"
    "  --json           JSON kimenet: pairs, units, percent_agreement, kappa {od, ed, np, all}, alpha,\n"
    "                   codes {EV … KM}, pictures (24 szám), only_in_a, only_in_b\n"
    "\n"
    "Kilépési kód: 2, ha egy fájl hibás, egy oldalon két fájlnak ugyanaz a kódja (mindkettő megnevezve),\n"
    "nincs közös kód, vagy egy oldalon nincs vizsgálati fájl.\n",
    runAgreement};

const Subcommand kNormsCommand{
    "norms",
    "gyvkt-cli norms FILE_OR_DIR... [--gcr KEY.gcr] [--decimal SEP] [--json]\n"
    "  gyvkt-cli norms --db URI [--gcr KEY.gcr] [--decimal SEP] [--json]",
    "Normák a saját archívumból. A jegyzőkönyvre alkalmas vizsgálatokból ({ages} év, legalább {min_marked} jelölt "
    "kép)\n"
    "korcsoportonként ({brackets}) a beépített normatábla tizenhárom mértékének első\n"
    "kvartilise, mediánja és harmadik kvartilise a kerekítetlen százalékokból, lineáris interpolációval a\n"
    "rendezett értékek (n − 1)·p helyén (0-tól számolva), két tizedesre kerekítve (a pontosan félúton\n"
    "álló értéket a páros szomszédjára, mint a kiértékelés: 3,125 -> 3,12), a beépített értékek mellett.\n"
    "Jelölve (*), ha a beépített medián kívül esik az archívum Q1–Q3 tartományán. A kimaradt fájlok és\n"
    "okaik a hibakimenetre kerülnek.\n"
    "\n"
    "Kilépési kód: 0, ha a táblázat elkészült (kimaradt fájlok mellett is); 2, ha nincs egyetlen\n"
    "vizsgálati fájl sem, egy megadott fájl vagy mappa nem létezik, vagy a GCR-kulcs nem olvasható.\n"
    "\n"
    "  --json           JSON kimenet: {\"brackets\": [{\"ages\", \"n\", \"measures\": {\"GcrPercent\": {\"q1\",\n"
    "                   \"median\", \"q3\", \"builtin\": [q1, median, q3], \"outside\"}, …}}], \"left_out\": […]}\n"
    "  --db URI         fájlok helyett az intézményi archívum kutatási nézetének minden vizsgálata (kutatói\n"
    "                   szerep kell); a kimaradtakat az álnevük nevezi meg\n",
    runNorms, true};
