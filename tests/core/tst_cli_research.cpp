// gyvkt-cli export, agreement and norms, run as the real program.
#include "CliRun.h"
#include "TestRoot.h"
#include "base/TextFile.h"
#include "formats/ExaminationFile.h"
#include "tst_evaluate_example.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

ExaminationData examination(qint32 age, const std::array<ScoringLine, 24>& lines) {
    ExaminationData d;
    d.personal.name = QStringLiteral("Kovács, \"Kis\" Anna");
    d.personal.age = age;
    d.personal.date = QStringLiteral("2024.05.06.");
    d.personal.examiner = QStringLiteral("Dr. Minta");
    d.lines = lines;
    return d;
}

QJsonObject json(const CliRun& run) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(run.out, &error);
    if (error.error != QJsonParseError::NoError)
        qFatal("not JSON: %s", run.out.constData());
    return doc.object();
}

QString text(const QByteArray& bytes) {
    return QString::fromUtf8(bytes);
}

} // namespace

class CliResearchTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void exportWritesTableAndCodebook();
    void exportExcelAnonymized();
    void exportStatuses_data();
    void exportStatuses();
    void agreementJson();
    void agreementTable();
    void agreementRefusals_data();
    void agreementRefusals();
    void normsJson();
    void normsTableAndStatuses();
    void installedKeyWhenTheDataRootHasNone();
    void fileNamedTwiceCountsOnce_data();
    void fileNamedTwiceCountsOnce();

private:
    std::unique_ptr<TestRoot> m_root;
    QString m_key;
    QString file(const QString& name) const { return m_root->path() + QLatin1Char('/') + name; }
    void write(const QString& name, const ExaminationData& d) const {
        QDir().mkpath(QFileInfo(file(name)).path());
        ExaminationFile::write(file(name), d);
    }
    QStringList withKey(QStringList args) const { return args << QStringLiteral("--gcr") << m_key; }
};

void CliResearchTest::init() {
    m_root = std::make_unique<TestRoot>();
    m_root->put(QStringLiteral("key.gcr"), EvalFixture::workedExampleKeyBytes());
    m_key = file(QStringLiteral("key.gcr"));
    write(QStringLiteral("arch/abc.kvx"), examination(9, EvalFixture::workedExample()));
    write(QStringLiteral("arch/old.kvx"), examination(15, EvalFixture::workedExample()));
    m_root->put(QStringLiteral("arch/bad.kvx"), "csak egy sor\r\n");
    m_root->put(QStringLiteral("arch/notes.txt"), "nem vizsgálat\r\n");
}

void CliResearchTest::exportWritesTableAndCodebook() {
    const QString out = file(QStringLiteral("out.csv"));
    const CliRun r =
        runCli(withKey({QStringLiteral("export"), file(QStringLiteral("arch")), QStringLiteral("-o"), out}));
    QCOMPARE(r.status, 0);
    QCOMPARE(text(r.out), out + QLatin1Char('\n') + file(QStringLiteral("out.codebook.csv")) + QLatin1Char('\n'));
    // The broken and the refused examination are named on stderr, and exported as such.
    QVERIFY(text(r.err).contains(file(QStringLiteral("arch/bad.kvx")) + QStringLiteral(": Hibás vizsgálati fájl")));
    QVERIFY(text(r.err).contains(file(QStringLiteral("arch/old.kvx")) + QStringLiteral(": Az életkor (15)")));
    const QByteArray table = readFileBytes(out);
    QVERIFY(!table.startsWith("\xEF\xBB\xBF"));
    QList<QByteArray> rows;
    for (qsizetype from = 0; from <= table.size();) {
        const qsizetype end = table.indexOf("\r\n", from);
        rows << table.mid(from, end < 0 ? -1 : end - from);
        from = end < 0 ? table.size() + 1 : end + 2;
    }
    // Header, abc, bad (its message's line break quoted), old, sorted by name, and nothing after
    // the last CR LF; the name with its comma and quotes is quoted.
    QCOMPARE(rows.size(), 5);
    QVERIFY(rows.at(0).startsWith("file,code,name,sex,age,date,examiner,p1_od,"));
    QVERIFY(rows.at(1).startsWith(file(QStringLiteral("arch/abc.kvx")).toUtf8() +
                                  ",ABC,\"Kov\xC3\xA1"
                                  "cs, \"\"Kis\"\" Anna\",boy,9,2024.05.06.,Dr. Minta,"));
    QVERIFY(rows.at(1).contains(",9.5,22,"));
    QVERIFY(rows.at(2).startsWith(file(QStringLiteral("arch/bad.kvx")).toUtf8() + ",,,,"));
    QVERIFY(rows.at(2).endsWith("\n2. sor: a f\xC3\xA1jl v\xC3\xA9get \xC3\xA9r a szem\xC3\xA9lyi adatok \xC3\xA9s a "
                                "jel\xC3\xB6l\xC3\xA9sek v\xC3\xA9ge el\xC5\x91tt.\""));
    QVERIFY(rows.at(3).startsWith(file(QStringLiteral("arch/old.kvx")).toUtf8() + ",,,,"));
    QVERIFY(
        rows.at(3).endsWith(",Az \xC3\xA9letkor (15) k\xC3\xADv\xC3\xBCl esik a 7\xE2\x80\x93"
                            "14 \xC3\xA9ves "
                            "normatartom\xC3\xA1nyon; a jegyz\xC5\x91k\xC3\xB6nyv nem k\xC3\xA9sz\xC3\xADthet\xC5\x91 "
                            "el."));
    QVERIFY(rows.at(4).isEmpty());
    const QByteArray codebook = readFileBytes(file(QStringLiteral("out.codebook.csv")));
    QVERIFY(codebook.startsWith("name,description_hu,description_en,type,values\r\nfile,"));
    QCOMPARE(codebook.count("\r\n"), rows.at(0).count(',') + 2);

    // Running it again gives the same bytes.
    QCOMPARE(
        runCli(withKey({QStringLiteral("export"), file(QStringLiteral("arch")), QStringLiteral("-o"), out})).status, 0);
    QCOMPARE(readFileBytes(out), table);
}

void CliResearchTest::exportExcelAnonymized() {
    const QString out = file(QStringLiteral("anon.csv"));
    const QString link = file(QStringLiteral("safe/link.csv"));
    QDir().mkpath(file(QStringLiteral("safe")));
    const QStringList inputs{file(QStringLiteral("arch/abc.kvx")), file(QStringLiteral("arch/bad.kvx"))};
    const CliRun r = runCli(withKey(QStringList{QStringLiteral("export"), QStringLiteral("--excel"),
                                                QStringLiteral("--anonymize"), QStringLiteral("--link-table"), link}
                                    << inputs << QStringLiteral("-o") << out));
    QCOMPARE(r.status, 0);
    QVERIFY(text(r.out).endsWith(QStringLiteral(".codebook.csv\n") + link + QLatin1Char('\n')));
    // The link table names which serial abc got; its row is the one of a 9-year-old.
    const QByteArray links = readFileBytes(link);
    const int abc = links.contains("S0001;" + inputs.at(0).toUtf8() + ";ABC\r\n") ? 1 : 2;
    QVERIFY(links.startsWith("\xEF\xBB\xBF"
                             "serial;file;code\r\n"));
    QVERIFY(links.contains(QStringLiteral("S000%1;%2;BAD\r\n").arg(3 - abc).arg(inputs.at(1)).toUtf8()));
    const QByteArray table = readFileBytes(out);
    QVERIFY(table.startsWith("\xEF\xBB\xBF"
                             "code;sex;age;date;p1_od;"));
    QVERIFY(table.contains(QStringLiteral("\r\nS000%1;boy;9;2024.05.;").arg(abc).toUtf8()));
    QVERIFY(table.contains(";9,5;22;"));
    QVERIFY(table.contains(QStringLiteral("\r\nS000%1;;;").arg(3 - abc).toUtf8()));

    // Without --link-table the link goes nowhere: the table and the codebook are all that is new.
    const QString bare = file(QStringLiteral("bare"));
    QDir().mkpath(bare);
    QCOMPARE(runCli(withKey(QStringList{QStringLiteral("export"), QStringLiteral("--anonymize")}
                            << inputs << QStringLiteral("-o") << bare + QStringLiteral("/anon.csv")),
                    bare)
                 .status,
             0);
    QCOMPARE(QDir(bare).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             (QStringList{QStringLiteral("anon.codebook.csv"), QStringLiteral("anon.csv")}));
    for (const char* secret : {"Kov", "Minta", "ABC", "abc", "kvx", "2024.05.06"})
        QVERIFY2(!table.contains(secret), secret);
    QVERIFY(readFileBytes(file(QStringLiteral("anon.codebook.csv")))
                .startsWith("\xEF\xBB\xBF"
                            "name;description_hu;"));
}

void CliResearchTest::exportStatuses_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("no -o") << QStringList{QStringLiteral("arch")} << 1 << QStringLiteral("Használat:");
    QTest::newRow("no input") << QStringList{QStringLiteral("-o"), QStringLiteral("x.csv")} << 1
                              << QStringLiteral("Használat:");
    QTest::newRow("unknown option") << QStringList{QStringLiteral("arch"), QStringLiteral("-o"),
                                                   QStringLiteral("x.csv"), QStringLiteral("--decimal"),
                                                   QStringLiteral(",")}
                                    << 1 << QStringLiteral("Ismeretlen kapcsoló: --decimal");
    QTest::newRow("empty folder") << QStringList{QStringLiteral("empty"), QStringLiteral("-o"), QStringLiteral("x.csv")}
                                  << 2 << QStringLiteral("Nem található vizsgálati fájl");
    QTest::newRow("missing argument") << QStringList{QStringLiteral("arch"), QStringLiteral("nope"),
                                                     QStringLiteral("-o"), QStringLiteral("x.csv")}
                                      << 2 << QStringLiteral("Nincs ilyen fájl vagy mappa: nope");
    QTest::newRow("unwritable output") << QStringList{QStringLiteral("arch"), QStringLiteral("-o"),
                                                      QStringLiteral("no/such/folder/x.csv")}
                                       << 2 << QStringLiteral("no/such/folder/x.csv: ");
    QTest::newRow("output is an examination")
        << QStringList{QStringLiteral("arch"), QStringLiteral("-o"), QStringLiteral("arch/abc.kvx")} << 2
        << QStringLiteral("nem írhatja felül");
    QTest::newRow("unreadable key") << QStringList{QStringLiteral("arch"), QStringLiteral("-o"),
                                                   QStringLiteral("x.csv"), QStringLiteral("--gcr"),
                                                   QStringLiteral("nokey.gcr")}
                                    << 2 << QStringLiteral("nokey.gcr: ");
    QTest::newRow("link table, not anonymized")
        << QStringList{QStringLiteral("arch"), QStringLiteral("-o"), QStringLiteral("x.csv"),
                       QStringLiteral("--link-table"), QStringLiteral("l.csv")}
        << 1 << QStringLiteral("--anonymize mellé");
}

void CliResearchTest::exportStatuses() {
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, message);
    QDir(m_root->path()).mkpath(QStringLiteral("empty"));
    const QByteArray exam = readFileBytes(file(QStringLiteral("arch/abc.kvx")));
    QStringList full = QStringList{QStringLiteral("export")} << args;
    if (!args.contains(QStringLiteral("--gcr")))
        full << QStringLiteral("--gcr") << m_key;
    const CliRun r = runCli(full, m_root->path());
    QCOMPARE(r.status, status);
    QVERIFY2(text(r.err).contains(message), r.err.constData());
    QVERIFY(!QFileInfo::exists(file(QStringLiteral("x.csv"))));
    QVERIFY(!QFileInfo::exists(file(QStringLiteral("x.codebook.csv"))));
    QCOMPARE(readFileBytes(file(QStringLiteral("arch/abc.kvx"))), exam);
}

void CliResearchTest::agreementJson() {
    // Coder A and B code the same two children (P1, P2); A also has P3, B also P4. In P1 the
    // coders agree everywhere, writing the two E-D codes in opposite orders; in P2 B marks
    // pictures 1-6 NM where A wrote NE. The ages (15 for B's P2) do not matter here.
    const std::array<ScoringLine, 24> base = EvalFixture::workedExample();
    std::array<ScoringLine, 24> reordered = base;
    for (int p = 15; p <= 17; ++p)
        reordered[static_cast<size_t>(p - 1)].field(2) = QStringLiteral("NIEE");
    std::array<ScoringLine, 24> changed = base;
    for (int p = 1; p <= 6; ++p)
        changed[static_cast<size_t>(p - 1)].field(2) = QStringLiteral("NM");
    write(QStringLiteral("a/p1.kvx"), examination(9, base));
    write(QStringLiteral("a/p2.kvx"), examination(9, base));
    write(QStringLiteral("a/p3.kvx"), examination(9, base));
    write(QStringLiteral("b/P1.KVX"), examination(9, reordered));
    write(QStringLiteral("b/p2.kvx"), examination(15, changed));
    write(QStringLiteral("b/p4.kvx"), examination(9, base));
    const CliRun r = runCli(
        {QStringLiteral("agreement"), file(QStringLiteral("a")), file(QStringLiteral("b")), QStringLiteral("--json")});
    QCOMPARE(r.status, 0);
    const QJsonObject o = json(r);
    QCOMPARE(o.value(QStringLiteral("pairs")).toInt(), 2);
    QCOMPARE(o.value(QStringLiteral("units")).toInt(), 144);
    QCOMPARE(o.value(QStringLiteral("only_in_a")).toArray(), QJsonArray{QStringLiteral("P3")});
    QCOMPARE(o.value(QStringLiteral("only_in_b")).toArray(), QJsonArray{QStringLiteral("P4")});
    QCOMPARE(o.value(QStringLiteral("percent_agreement")).toDouble(), 100.0 * 138 / 144);
    const QJsonObject kappa = o.value(QStringLiteral("kappa")).toObject();
    // O-D and N-P agree throughout, each with two categories or more: kappa 1.
    QCOMPARE(kappa.value(QStringLiteral("od")).toDouble(), 1.0);
    QCOMPARE(kappa.value(QStringLiteral("np")).toDouble(), 1.0);
    // E-D, 48 units. A: NE 12, EE+NI 6, NM 4, "" 26. B: NE 6, NM 10, EE+NI 6, "" 26.
    // po = 42/48; chance = 12*6 + 6*6 + 4*10 + 26*26 = 824: kappa = (48*42 - 824) / (2304 - 824).
    QCOMPARE(kappa.value(QStringLiteral("ed")).toDouble(), (48.0 * 42 - 824) / (2304 - 824));
    const QJsonObject codes = o.value(QStringLiteral("codes")).toObject();
    QCOMPARE(codes.size(), 11);
    QVERIFY(codes.value(QStringLiteral("II")).isNull());
    QCOMPARE(codes.value(QStringLiteral("EE")).toDouble(), 1.0);
    // NE present 12 times for A, 6 for B (all of them where A has it) in 48 units:
    // po = 42/48, chance = 12*6 + 36*42 = 1584: kappa = (2016 - 1584) / (2304 - 1584) = 0.6.
    QCOMPARE(codes.value(QStringLiteral("NE")).toDouble(), 0.6);
    const QJsonArray pictures = o.value(QStringLiteral("pictures")).toArray();
    QCOMPARE(pictures.size(), 24);
    for (int p = 1; p <= 24; ++p)
        QCOMPARE(pictures.at(p - 1).toDouble(), p <= 6 ? 100.0 * 5 / 6 : 100.0);
    QVERIFY(o.value(QStringLiteral("alpha")).toDouble() < 1.0);
}

void CliResearchTest::agreementTable() {
    write(QStringLiteral("a/p1.kvx"), examination(9, EvalFixture::workedExample()));
    const CliRun r = runCli({QStringLiteral("agreement"), file(QStringLiteral("a/p1.kvx")), file(QStringLiteral("a"))},
                            QString(), {QStringLiteral("LC_ALL=hu_HU.UTF-8")});
    QCOMPARE(r.status, 0);
    // Windows takes the decimal separator from the user's regional settings, not from LC_ALL.
#ifdef Q_OS_WIN
    const QString point = QLocale::system().decimalPoint();
#else
    const QString point = QStringLiteral(",");
#endif
    const QString out = text(r.out);
    QVERIFY(out.contains(QStringLiteral("Párok: 1, egységek: 72")));
    QVERIFY(out.contains(QStringLiteral("Egyezés: 100") + point + QStringLiteral("00%")));
    QVERIFY(out.contains(QStringLiteral("  O-D     1") + point + QStringLiteral("00  kiváló\n")));
    QVERIFY(out.contains(QStringLiteral("  II      nem értelmezhető\n")));
    QVERIFY(out.contains(QStringLiteral("0") + point + QStringLiteral("80 fölött kiváló")));
}

void CliResearchTest::agreementRefusals_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("one side only") << QStringList{QStringLiteral("a")} << 1 << QStringLiteral("Használat:");
    QTest::newRow("same code twice") << QStringList{QStringLiteral("a"), QStringLiteral("dup")} << 2
                                     << QStringLiteral("A(z) B oldalon két fájl kódja is P1: dup/P1.kvx és dup/p1.kvx");
    QTest::newRow("broken pair") << QStringList{QStringLiteral("a"), QStringLiteral("broken")} << 2
                                 << QStringLiteral("broken/p1.kvx: Hibás vizsgálati fájl");
    QTest::newRow("no common code") << QStringList{QStringLiteral("a"), QStringLiteral("other")} << 2
                                    << QStringLiteral("nincs azonos kódú vizsgálat");
    QTest::newRow("missing side") << QStringList{QStringLiteral("a"), QStringLiteral("nope")} << 2
                                  << QStringLiteral("Nincs ilyen fájl vagy mappa: nope");
    QTest::newRow("empty side") << QStringList{QStringLiteral("empty"), QStringLiteral("a")} << 2
                                << QStringLiteral("Nem található vizsgálati fájl");
}

void CliResearchTest::agreementRefusals() {
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, message);
#ifdef Q_OS_WIN
    if (qstrcmp(QTest::currentDataTag(), "same code twice") == 0)
        QSKIP("Windows file names ignore case: dup/p1.kvx and dup/P1.kvx are one file");
#endif
    write(QStringLiteral("a/p1.kvx"), examination(9, EvalFixture::workedExample()));
    write(QStringLiteral("dup/p1.kvx"), examination(9, EvalFixture::workedExample()));
    write(QStringLiteral("dup/P1.kvx"), examination(9, EvalFixture::workedExample()));
    m_root->put(QStringLiteral("broken/p1.kvx"), "csak egy sor\r\n");
    write(QStringLiteral("other/p2.kvx"), examination(9, EvalFixture::workedExample()));
    QDir(m_root->path()).mkpath(QStringLiteral("empty"));
    const CliRun r = runCli(QStringList{QStringLiteral("agreement")} << args, m_root->path());
    QCOMPARE(r.status, status);
    QVERIFY2(text(r.err).contains(message), r.err.constData());
    QVERIFY(r.out.isEmpty());
}

void CliResearchTest::normsJson() {
    // Bracket 9-10: the worked example at 9 and 10 (GCR 9.5 of 22 pictures) and 20 pictures of
    // EV at 9 (every measure but O-D, E at 100 or 0). Ages 15, a broken file and too few marks
    // are left out.
    write(QStringLiteral("n/a.kvx"), examination(9, EvalFixture::workedExample()));
    write(QStringLiteral("n/b.kvx"), examination(10, EvalFixture::workedExample()));
    write(QStringLiteral("n/c.kvx"),
          examination(9, EvalFixture::linesFrom(EvalFixture::repeated(QStringLiteral("EV,,"), 20))));
    write(QStringLiteral("n/few.kvx"),
          examination(9, EvalFixture::linesFrom(EvalFixture::repeated(QStringLiteral("EV,,"), 17))));
    write(QStringLiteral("n/old.kvx"), examination(15, EvalFixture::workedExample()));
    m_root->put(QStringLiteral("n/bad.kvx"), "csak egy sor\r\n");
    const CliRun r = runCli(withKey({QStringLiteral("norms"), file(QStringLiteral("n")), QStringLiteral("--json")}));
    QCOMPARE(r.status, 0);
    const QString err = text(r.err);
    QVERIFY(err.contains(file(QStringLiteral("n/bad.kvx")) + QStringLiteral(": Hibás vizsgálati fájl")));
    QVERIFY(
        err.contains(file(QStringLiteral("n/few.kvx")) + QStringLiteral(": Kevés a lejelölt válasz, mindössze 17.")));
    QVERIFY(err.contains(file(QStringLiteral("n/old.kvx")) + QStringLiteral(": Az életkor (15)")));
    const QJsonObject o = json(r);
    QCOMPARE(o.value(QStringLiteral("left_out")).toArray().size(), 3);
    const QJsonArray brackets = o.value(QStringLiteral("brackets")).toArray();
    QCOMPARE(brackets.size(), 4);
    QCOMPARE(brackets.at(1).toObject().value(QStringLiteral("n")).toInt(), 3);
    QCOMPARE(brackets.at(0).toObject().value(QStringLiteral("n")).toInt(), 0);
    const QJsonObject measures = brackets.at(1).toObject().value(QStringLiteral("measures")).toObject();
    auto measure = [&](const char* name) { return measures.value(QLatin1String(name)).toObject(); };
    // Row E of the three: 11.5/22 = 52.27..., twice, and 0 (only EV... is row E: 100).
    // Sorted: 52.27, 52.27, 100: Q1 = 52.27, median 52.27, Q3 = 52.27 + 0.5 * (100 - 52.27).
    const double e = 100 * 11.5 / 22;
    QCOMPARE(measure("RowPercent_E").value(QStringLiteral("q1")).toDouble(), 52.27);
    QCOMPARE(measure("RowPercent_E").value(QStringLiteral("median")).toDouble(), 52.27);
    QCOMPARE(measure("RowPercent_E").value(QStringLiteral("q3")).toDouble(),
             std::round((e + 0.5 * (100 - e)) * 100) / 100);
    QCOMPARE(measure("RowPercent_E").value(QStringLiteral("builtin")).toArray(), (QJsonArray{15.8, 34.9, 64.7}));
    // Built-in median 34.9 below Q1 52.27.
    QCOMPARE(measure("RowPercent_E").value(QStringLiteral("outside")).toBool(), true);
    // GCR: 9.5/22 twice and the EV pictures' points under the example key (picture 10 only: 1
    // of 20): 5, 43.18, 43.18 -> Q1 = 5 + 0.5 * 38.18 = 24.09, median 43.18, Q3 43.18. The
    // built-in median 38.9 lies inside.
    QCOMPARE(measure("GcrPercent").value(QStringLiteral("q1")).toDouble(), 24.09);
    QCOMPARE(measure("GcrPercent").value(QStringLiteral("median")).toDouble(), 43.18);
    QCOMPARE(measure("GcrPercent").value(QStringLiteral("outside")).toBool(), false);
    // Column N-P: 100 less O-D and E-D: 25 twice (5.5/22) and 0.
    QCOMPARE(measure("ColumnPercent_NP").value(QStringLiteral("q3")).toDouble(), 25.0);
    QCOMPARE(measure("ColumnPercent_NP").value(QStringLiteral("q1")).toDouble(), 12.5);
    const QJsonObject empty = brackets.at(3).toObject().value(QStringLiteral("measures")).toObject();
    QVERIFY(empty.value(QStringLiteral("SuperegoPercent_6")).toObject().value(QStringLiteral("q3")).isNull());
    QVERIFY(empty.value(QStringLiteral("SuperegoPercent_6")).toObject().value(QStringLiteral("outside")).isNull());
}

void CliResearchTest::normsTableAndStatuses() {
    const CliRun table = runCli(withKey(
        {QStringLiteral("norms"), file(QStringLiteral("arch")), QStringLiteral("--decimal"), QStringLiteral(",")}));
    QCOMPARE(table.status, 0);
    const QString out = text(table.out);
    QVERIFY(out.contains(QStringLiteral("9–10 év: 1 vizsgálat\n")));
    QVERIFY(out.contains(QStringLiteral("7–8 év: 0 vizsgálat\n")));
    // The worked example's row E, 52.27 three times against a built-in median of 34.9: marked.
    QVERIFY(out.contains(QStringLiteral("E                 52,27   52,27   52,27   15,80 / 34,90 / 64,70  *\n")));
    QVERIFY(out.contains(QStringLiteral("GCR                   –       –       –   31,90 / 37,30 / 53,90\n")));
    QVERIFY(out.contains(QStringLiteral("Kimaradt 2 fájl")));

    QDir(m_root->path()).mkpath(QStringLiteral("empty"));
    QCOMPARE(runCli(withKey({QStringLiteral("norms"), file(QStringLiteral("empty"))})).status, 2);
    QCOMPARE(runCli(withKey({QStringLiteral("norms"), file(QStringLiteral("nope"))})).status, 2);
    QCOMPARE(runCli(withKey({QStringLiteral("norms")})).status, 1);
    QCOMPARE(runCli({QStringLiteral("norms"), file(QStringLiteral("arch")), QStringLiteral("--gcr"),
                     file(QStringLiteral("nokey.gcr"))})
                 .status,
             2);
}

void CliResearchTest::installedKeyWhenTheDataRootHasNone() {
    // A data root the program never started in: the key installed with the program evaluates,
    // and stderr says so; a broken key of the data root stays an error.
    QTemporaryDir fresh;
    const QStringList env{QStringLiteral("TAVRIX_ROOT=") + fresh.path()};
    const QStringList args{QStringLiteral("evaluate"), file(QStringLiteral("arch/abc.kvx")), QStringLiteral("--json")};
    const CliRun r = runCli(args, QString(), env);
    QCOMPARE(r.status, 0);
    QVERIFY2(text(r.err).startsWith(QStringLiteral("Az adatmappában nincs GCR-kulcs (%1/gy_vkt/magyar.gcr); a program "
                                                   "telepített kulcsával értékel: ")
                                        .arg(fresh.path())),
             r.err.constData());

    QDir(fresh.path()).mkpath(QStringLiteral("gy_vkt"));
    TextFile::writeBytes(fresh.path() + QStringLiteral("/gy_vkt/magyar.gcr"), "GCR\r\n");
    const CliRun broken = runCli(args, QString(), env);
    QCOMPARE(broken.status, 2);
    QVERIFY(text(broken.err).startsWith(fresh.path() + QStringLiteral("/gy_vkt/magyar.gcr: ")));
}

void CliResearchTest::fileNamedTwiceCountsOnce_data() {
    QTest::addColumn<QString>("command");
    QTest::newRow("norms") << QStringLiteral("norms");
    QTest::newRow("export") << QStringLiteral("export");
}

void CliResearchTest::fileNamedTwiceCountsOnce() {
    QFETCH(QString, command);
    // One examination through its folder, by its name and through a link (on Windows a hard
    // link: QFile::link makes a shortcut there, a file of its own).
#ifdef Q_OS_WIN
    QVERIFY(CreateHardLinkW(
        reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(file(QStringLiteral("link.kvx"))).utf16()),
        reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(file(QStringLiteral("arch/abc.kvx"))).utf16()),
        nullptr));
#else
    QVERIFY(QFile::link(file(QStringLiteral("arch/abc.kvx")), file(QStringLiteral("link.kvx"))));
#endif
    QStringList args = withKey({command, file(QStringLiteral("arch")), file(QStringLiteral("arch/abc.kvx")),
                                file(QStringLiteral("link.kvx"))});
    const QString out = file(QStringLiteral("x.csv"));
    if (command == QLatin1String("export"))
        args << QStringLiteral("-o") << out << QStringLiteral("--anonymize");
    const CliRun r = runCli(args);
    QCOMPARE(r.status, 0);
    QCOMPARE(text(r.err).count(QStringLiteral("Többször megadott fájl, egyszer számít: ")), 2);
    if (command == QLatin1String("norms"))
        QVERIFY(text(r.out).contains(QStringLiteral("9–10 év: 1 vizsgálat\n")));
    else // the header and abc, old and bad once each
        QCOMPARE(readFileBytes(out).count("\r\n"), 4);
}

QTEST_GUILESS_MAIN(CliResearchTest)
#include "tst_cli_research.moc"
