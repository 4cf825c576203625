// The CSV writer and the archive export, read back with a small RFC 4180 parser of the test's own.
#include "TestRoot.h"
#include "app/StartupRecovery.h"
#include "base/AtomicFile.h"
#include "base/UserError.h"
#include "formats/ExaminationFile.h"
#include "render/Csv.h"
#include "render/ResearchText.h"
#include "services/ArchiveExport.h"
#include "services/ExportSet.h"
#include "services/HungarianDate.h"
#include "tst_evaluate_example.h"

#include <QDir>
#include <QtTest>

#include <cstdio>

namespace {

using Table = QList<QStringList>;

// An RFC 4180 reader written apart from the writer: quoted fields may hold the separator, CR,
// LF and doubled quotes; every record ends with CR LF. Fails the test on anything else.
Table parseCsv(const QByteArray& bytes, QChar separator, bool* ok) {
    *ok = true;
    const QString text = QString::fromUtf8(bytes);
    Table rows;
    QStringList row;
    QString field;
    qsizetype i = 0;
    bool quoted = false;
    bool fieldStarted = false;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    field += c;
                    i += 2;
                    continue;
                }
                quoted = false;
                ++i;
                // After a closing quote only a separator or the record end may follow.
                if (i < text.size() && text.at(i) != separator && text.at(i) != QLatin1Char('\r'))
                    *ok = false;
                continue;
            }
            field += c;
            ++i;
            continue;
        }
        if (c == QLatin1Char('"') && !fieldStarted && field.isEmpty()) {
            quoted = true;
            fieldStarted = true;
            ++i;
        } else if (c == separator) {
            row << field;
            field.clear();
            fieldStarted = false;
            ++i;
        } else if (c == QLatin1Char('\r')) {
            if (i + 1 >= text.size() || text.at(i + 1) != QLatin1Char('\n'))
                *ok = false;
            row << field;
            rows << row;
            row.clear();
            field.clear();
            fieldStarted = false;
            i += 2;
        } else {
            // A bare LF, or a quote inside an unquoted field, is not RFC 4180.
            if (c == QLatin1Char('\n') || c == QLatin1Char('"'))
                *ok = false;
            field += c;
            fieldStarted = true;
            ++i;
        }
    }
    if (quoted || !field.isEmpty() || !row.isEmpty())
        *ok = false; // the last record did not end with CR LF
    return rows;
}

ExaminationData examination(const QString& name, qint32 age, const std::array<ScoringLine, 24>& lines) {
    ExaminationData d;
    d.personal.name = name;
    d.personal.age = age;
    d.personal.date = QStringLiteral("2024.05.06.");
    d.personal.examiner = QStringLiteral("Dr. Rejtett Rezső");
    d.personal.sex = PersonalData::Sex::Girl;
    d.lines = lines;
    return d;
}

QString value(const Table& table, int row, const QString& column) {
    const qsizetype index = table.first().indexOf(column);
    if (index < 0)
        qFatal("no column %s", qPrintable(column));
    return table.at(row).at(index);
}

Table parseWithDialect(QByteArray bytes, const CsvDialect& dialect) {
    if (dialect.byteOrderMark && !bytes.startsWith("\xEF\xBB\xBF"))
        qFatal("no byte order mark");
    if (dialect.byteOrderMark)
        bytes.remove(0, 3);
    bool ok = false;
    const Table table = parseCsv(bytes, dialect.separator, &ok);
    if (!ok)
        qFatal("not RFC 4180");
    return table;
}

// The table row of a file, found through the link table: serial S000k is row k.
int rowOfFile(const ArchiveExport::Result& result, const CsvDialect& dialect, const QString& file) {
    const Table links = parseWithDialect(result.linkTable, dialect);
    for (int i = 1; i < links.size(); ++i) {
        if (links.at(i).value(1) == file)
            return links.at(i).at(0).mid(1).toInt();
    }
    qFatal("%s not in the link table", qPrintable(file));
}

} // namespace

class ResearchExportTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void csvField_data();
    void csvField();
    void dialectBytes();
    void numberText_data();
    void numberText();
    void twoDecimalsHalfToEven_data();
    void twoDecimalsHalfToEven();
    void hungarianDate_data();
    void hungarianDate();
    void namesSurviveTheRoundTrip();
    void valuesOfTheWorkedExample_data();
    void valuesOfTheWorkedExample();
    void brokenAndRefusedExaminations();
    void incompleteExaminationIsExported();
    void anonymized();
    void codebookDescribesEveryColumn_data();
    void codebookDescribesEveryColumn();
    void codebookPath_data();
    void codebookPath();
    void neverOverwritesAnExamination();
    void largeExportKeepsFileOrder();
    void tableAndCodebookAreReplacedTogether();
    void exportSetStoppedAtEveryStep_data();
    void exportSetStoppedAtEveryStep();
    void serialsAreUnlinkable();
    void codebookMatchesTheValues();

private:
    std::unique_ptr<TestRoot> m_root;
    QString m_folder;
    QString path(const QString& name) const { return m_folder + QLatin1Char('/') + name; }
    void write(const QString& name, const ExaminationData& data) const { ExaminationFile::write(path(name), data); }
    Table exportTable(const QStringList& files, const ArchiveExport::Options& options,
                      ArchiveExport::Result* out = nullptr) const;
};

void ResearchExportTest::init() {
    m_root = std::make_unique<TestRoot>();
    m_folder = m_root->root().archiveFolder();
}

Table ResearchExportTest::exportTable(const QStringList& files, const ArchiveExport::Options& options,
                                      ArchiveExport::Result* out) const {
    const ArchiveExport::Result result = ArchiveExport::build(files, EvalFixture::workedExampleKey(), options);
    const Table table = parseWithDialect(result.table, options.dialect);
    for (const QStringList& row : table) {
        if (row.size() != table.first().size())
            qFatal("ragged table");
    }
    if (table.size() != files.size() + 1 || result.rows != files.size())
        qFatal("one row per file expected");
    if (out)
        *out = result;
    return table;
}

void ResearchExportTest::csvField_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("expected");
    const QString comma = QStringLiteral(",");
    const QString semicolon = QStringLiteral(";");
    QTest::newRow("plain") << QStringLiteral("Kis Péter") << comma << QStringLiteral("Kis Péter");
    QTest::newRow("empty") << QString() << comma << QString();
    QTest::newRow("comma") << QStringLiteral("Kis, Péter") << comma << QStringLiteral("\"Kis, Péter\"");
    QTest::newRow("comma, Excel") << QStringLiteral("Kis, Péter") << semicolon << QStringLiteral("Kis, Péter");
    QTest::newRow("semicolon, Excel") << QStringLiteral("a;b") << semicolon << QStringLiteral("\"a;b\"");
    QTest::newRow("quote") << QStringLiteral("a \"b\" c") << comma << QStringLiteral("\"a \"\"b\"\" c\"");
    QTest::newRow("only a quote") << QStringLiteral("\"") << semicolon << QStringLiteral("\"\"\"\"");
    QTest::newRow("LF") << QStringLiteral("a\nb") << comma << QStringLiteral("\"a\nb\"");
    QTest::newRow("CR") << QStringLiteral("a\rb") << semicolon << QStringLiteral("\"a\rb\"");
    QTest::newRow("spaces stay") << QStringLiteral(" a ") << comma << QStringLiteral(" a ");
}

void ResearchExportTest::csvField() {
    QFETCH(QString, text);
    QFETCH(QString, separator);
    QFETCH(QString, expected);
    QCOMPARE(CsvWriter::field(text, separator.at(0)), expected);
}

void ResearchExportTest::dialectBytes() {
    CsvWriter standard(CsvDialect::standard());
    standard.addRow({QStringLiteral("á"), QStringLiteral("b,c")});
    standard.addField(QStringLiteral("x"));
    standard.addNumber(0.5);
    standard.endRow();
    QCOMPARE(standard.bytes(), QByteArray("\xC3\xA1,\"b,c\"\r\nx,0.5\r\n"));
    QCOMPARE(standard.rowCount(), 2);

    CsvWriter excel(CsvDialect::excelHungarian());
    excel.addRow({QStringLiteral("á"), QStringLiteral("b,c")});
    excel.addNumber(-2.5);
    excel.addNumber(23.0 / 9);
    excel.endRow();
    QCOMPARE(excel.bytes(), QByteArray("\xEF\xBB\xBF\xC3\xA1;b,c\r\n-2,5;2,5555555555555554\r\n"));

    // A name Excel would run as a formula stays text there; signed numbers stay numbers, and
    // the plain dialect keeps every text as it is.
    const QStringList risky{QStringLiteral("=HYPERLINK(\"x\")"), QStringLiteral("+1"), QStringLiteral("-3,5"),
                            QStringLiteral("@SUM(A1)"),          QStringLiteral("-a"), QStringLiteral("-")};
    CsvWriter guarded(CsvDialect::excelHungarian());
    guarded.addRow(risky);
    QCOMPARE(guarded.bytes(), QByteArray("\xEF\xBB\xBF\"'=HYPERLINK(\"\"x\"\")\";+1;-3,5;'@SUM(A1);'-a;'-\r\n"));
    CsvWriter plain(CsvDialect::standard());
    plain.addRow(risky);
    QCOMPARE(plain.bytes(), QByteArray("\"=HYPERLINK(\"\"x\"\")\",+1,\"-3,5\",@SUM(A1),-a,-\r\n"));
}

void ResearchExportTest::numberText_data() {
    QTest::addColumn<double>("number");
    QTest::addColumn<QString>("point");
    QTest::addColumn<QString>("comma");
    QTest::newRow("whole") << 43.0 << QStringLiteral("43") << QStringLiteral("43");
    QTest::newRow("half") << 9.5 << QStringLiteral("9.5") << QStringLiteral("9,5");
    QTest::newRow("negative half") << -0.5 << QStringLiteral("-0.5") << QStringLiteral("-0,5");
    QTest::newRow("negative zero") << -0.0 << QStringLiteral("0") << QStringLiteral("0");
    QTest::newRow("ratio") << 2.875 << QStringLiteral("2.875") << QStringLiteral("2,875");
    QTest::newRow("repeating") << 1.0 / 3 << QStringLiteral("0.3333333333333333")
                               << QStringLiteral("0,3333333333333333");
    QTest::newRow("tiny, no exponent") << 1e-7 << QStringLiteral("0.0000001") << QStringLiteral("0,0000001");
}

void ResearchExportTest::numberText() {
    QFETCH(double, number);
    QFETCH(QString, point);
    QFETCH(QString, comma);
    QCOMPARE(ResearchText::numberText(number, QLatin1Char('.')), point);
    QCOMPARE(ResearchText::numberText(number, QLatin1Char(',')), comma);
    // Read back, the text is the number itself.
    QCOMPARE(point.toDouble(), number == 0 ? 0.0 : number);
}

void ResearchExportTest::twoDecimalsHalfToEven_data() {
    QTest::addColumn<double>("number");
    QTest::addColumn<QString>("text");
    // Exact binary ties go to the even neighbour; a decimal "tie" stored off the half goes the
    // way the stored value lies.
    QTest::newRow("3.125") << 3.125 << QStringLiteral("3.12");
    QTest::newRow("33.125") << 33.125 << QStringLiteral("33.12");
    QTest::newRow("33.375") << 33.375 << QStringLiteral("33.38");
    QTest::newRow("-3.125") << -3.125 << QStringLiteral("-3.12");
    QTest::newRow("2.675, stored below") << 2.675 << QStringLiteral("2.67");
    QTest::newRow("0.035, stored above") << 0.035 << QStringLiteral("0.04");
}

void ResearchExportTest::twoDecimalsHalfToEven() {
    QFETCH(double, number);
    QFETCH(QString, text);
    QCOMPARE(ResearchText::twoDecimalText(number, QLatin1Char('.')), text);
    QCOMPARE(ResearchText::twoDecimals(number), text.toDouble());
    char printed[32]; // C's printf decides on the exact stored value too
    std::snprintf(printed, sizeof printed, "%.2f", number);
    QCOMPARE(QString::fromLatin1(printed), text);
}

void ResearchExportTest::hungarianDate_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("date"); // ISO, empty for none
    QTest::newRow("calendar form") << QStringLiteral("2013.07.22.") << QStringLiteral("2013-07-22");
    QTest::newRow("month written out") << QStringLiteral("2013. július 22.") << QStringLiteral("2013-07-22");
    QTest::newRow("abbreviated") << QStringLiteral("2013. júl. 22.") << QStringLiteral("2013-07-22");
    QTest::newRow("June, not July") << QStringLiteral("2013. jún. 2.") << QStringLiteral("2013-06-02");
    QTest::newRow("no accents, capitals") << QStringLiteral("2013. MARCIUS 1") << QStringLiteral("2013-03-01");
    QTest::newRow("longer abbreviation") << QStringLiteral(" 2009. szept. 30. ") << QStringLiteral("2009-09-30");
    QTest::newRow("calendar, short") << QStringLiteral(" 2024.5.6") << QStringLiteral("2024-05-06");
    QTest::newRow("capital, no last dot") << QStringLiteral("2017. Március 4") << QStringLiteral("2017-03-04");
    QTest::newRow("no such day") << QStringLiteral("2013. febr. 29.") << QString();
    QTest::newRow("other text") << QStringLiteral("tavaly ősszel") << QString();
    QTest::newRow("too short to tell") << QStringLiteral("2013. ju. 22.") << QString();
    QTest::newRow("no year") << QStringLiteral("május 6.") << QString();
    QTest::newRow("words after") << QStringLiteral("2013. július 22. délután") << QString();
}

void ResearchExportTest::hungarianDate() {
    QFETCH(QString, text);
    QFETCH(QString, date);
    const std::optional<QDate> parsed = HungarianDate::parse(text);
    QCOMPARE(parsed ? parsed->toString(Qt::ISODate) : QString(), date);
}

void ResearchExportTest::namesSurviveTheRoundTrip() {
    // A name line of the file can hold commas, quotes, semicolons and a lone LF (only CR ends it).
    const QStringList names{QStringLiteral("Kovács, Anna"),
                            QStringLiteral("Nagy \"Öcsi\" Béla"),
                            QStringLiteral("Első sor\nmásodik sor"),
                            QStringLiteral("pontos;vessző"),
                            QStringLiteral("\""),
                            QStringLiteral("  szóközök  ")};
    QStringList files;
    for (int i = 0; i < names.size(); ++i) {
        const QString name = QStringLiteral("n%1.kvx").arg(i);
        write(name, examination(names.at(i), 9, EvalFixture::workedExample()));
        files << path(name);
    }
    for (const CsvDialect& dialect : {CsvDialect::standard(), CsvDialect::excelHungarian()}) {
        const Table table = exportTable(files, {dialect, false});
        for (int i = 0; i < names.size(); ++i) {
            QCOMPARE(value(table, i + 1, QStringLiteral("name")), names.at(i));
            QCOMPARE(value(table, i + 1, QStringLiteral("file")), files.at(i));
            QCOMPARE(value(table, i + 1, QStringLiteral("code")), QStringLiteral("N%1").arg(i));
            QCOMPARE(value(table, i + 1, QStringLiteral("examiner")), QStringLiteral("Dr. Rejtett Rezső"));
        }
    }
}

void ResearchExportTest::valuesOfTheWorkedExample_data() {
    QTest::addColumn<bool>("excel");
    QTest::newRow("standard") << false;
    QTest::newRow("Excel") << true;
}

void ResearchExportTest::valuesOfTheWorkedExample() {
    QFETCH(bool, excel);
    const QString p = path(QStringLiteral("abc.kvx"));
    write(QStringLiteral("abc.kvx"), examination(QStringLiteral("Kis Péter"), 9, EvalFixture::workedExample()));
    const CsvDialect dialect = excel ? CsvDialect::excelHungarian() : CsvDialect::standard();
    const Table table = exportTable({p}, {dialect, false});
    auto num = [excel](const char* text) {
        QString s = QLatin1String(text);
        return excel ? s.replace(QLatin1Char('.'), QLatin1Char(',')) : s;
    };
    auto at = [&](const char* column) { return value(table, 1, QLatin1String(column)); };

    const QStringList header = table.first();
    QCOMPARE(header.mid(0, 9),
             (QStringList{QStringLiteral("file"), QStringLiteral("code"), QStringLiteral("name"), QStringLiteral("sex"),
                          QStringLiteral("age"), QStringLiteral("date"), QStringLiteral("examiner"),
                          QStringLiteral("p1_od"), QStringLiteral("p1_ed")}));
    QCOMPARE(header.at(7 + 95), QStringLiteral("p24_paren"));
    QCOMPARE(header.last(), QStringLiteral("error"));
    QVERIFY(!header.contains(QStringLiteral("eval_code")));
    QVERIFY(!header.contains(QStringLiteral("eval_age")));
    QCOMPARE(QStringList(header).removeDuplicates(), 0);

    QCOMPARE(at("sex"), QStringLiteral("girl"));
    QCOMPARE(at("age"), QStringLiteral("9"));
    QCOMPARE(at("date"), QStringLiteral("2024.05.06."));
    QCOMPARE(at("p15_ed"), QStringLiteral("EENI"));
    QCOMPARE(at("p18_np"), QStringLiteral("KI"));
    QCOMPARE(at("p23_od"), QString());
    // The worked example's values, as the evaluation tests derive them by hand.
    QCOMPARE(at("eval_complete"), QStringLiteral("1"));
    QCOMPARE(at("eval_points_1"), QStringLiteral("1"));
    QCOMPARE(at("eval_points_10"), QStringLiteral("0"));
    QCOMPARE(at("eval_points_15"), num("0.5"));
    QCOMPARE(at("eval_gcr_points"), num("9.5"));
    QCOMPARE(at("eval_scored_picture_count"), QStringLiteral("22"));
    QCOMPARE(at("eval_cell_score_E_ED"), num("7.5"));
    QCOMPARE(at("eval_cell_score_M_OD"), QStringLiteral("4"));
    QCOMPARE(at("eval_column_total_NP"), num("5.5"));
    QCOMPARE(at("eval_row_total_E"), num("11.5"));
    QCOMPARE(at("eval_row_percent_M"), QStringLiteral("28"));
    QCOMPARE(at("eval_column_percent_ED"), QStringLiteral("50"));
    QCOMPARE(at("eval_row_class_I"), QStringLiteral("Q1/Mdn"));
    QCOMPARE(at("eval_column_class_OD"), QStringLiteral("Mdn/Q3"));
    QCOMPARE(at("eval_gcr_percent"), QStringLiteral("43"));
    QCOMPARE(at("eval_gcr_class"), QStringLiteral("normál"));
    QCOMPARE(at("eval_superego_score_1"), num("1.5"));
    QCOMPARE(at("eval_superego_percent_4"), QStringLiteral("27"));
    QCOMPARE(at("eval_superego_class_2"), QStringLiteral("<Q1"));
    QCOMPARE(at("eval_trend_text_4_1"), QStringLiteral("nincs"));
    QCOMPARE(at("eval_trend_text_4_2"), QStringLiteral("I <- -1"));
    QCOMPARE(at("eval_trend_text_4_3"), num("0.3333 -> M"));
    QCOMPARE(at("eval_top_cell_1_code"), QStringLiteral("NE"));
    QCOMPARE(at("eval_top_cell_2_code"), QStringLiteral("MV"));
    QCOMPARE(at("eval_top_cell_3_score"), QStringLiteral("4"));
    QCOMPARE(at("eval_total_index_text"), num("NE(7.5) > MV(4) = KE(4)"));
    QCOMPARE(QString(at("eval_rauchfleisch_a")).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(), 23.0 / 9);
    QCOMPARE(at("eval_rauchfleisch_c"), num("2.875"));
    QCOMPARE(at("eval_rauchfleisch_e"), num("0.375"));
    QCOMPARE(at("error"), QString());
    // Plain text only, and with a decimal comma no point anywhere in the evaluation.
    for (qsizetype i = 0; i < header.size(); ++i) {
        if (!header.at(i).startsWith(QStringLiteral("eval_")))
            continue;
        const QString& field = table.at(1).at(i);
        QVERIFY2(!field.contains(QLatin1Char('&')), qPrintable(field));
        QVERIFY2(!field.contains(excel ? QLatin1Char('.') : QLatin1Char(',')), qPrintable(field));
    }
}

void ResearchExportTest::brokenAndRefusedExaminations() {
    m_root->put(QStringLiteral("gy_vkt/archivum/bad.kvx"), "csak egy sor\r\n");
    write(QStringLiteral("old.kvx"), examination(QStringLiteral("Idős Ida"), 15, EvalFixture::workedExample()));
    write(QStringLiteral("ok.kvx"), examination(QStringLiteral("Jó Jenő"), 9, EvalFixture::workedExample()));
    const QStringList files{path(QStringLiteral("bad.kvx")), path(QStringLiteral("old.kvx")),
                            path(QStringLiteral("missing.kvx")), path(QStringLiteral("ok.kvx"))};
    ArchiveExport::Result result;
    const Table table = exportTable(files, {CsvDialect::standard(), false}, &result);
    QCOMPARE(result.errors.size(), 3);
    const qsizetype errorColumn = table.first().size() - 1;
    for (int row = 1; row <= 3; ++row) {
        const QStringList& fields = table.at(row);
        QCOMPARE(fields.at(0), files.at(row - 1));
        for (qsizetype i = 1; i < errorColumn; ++i)
            QVERIFY2(fields.at(i).isEmpty(), qPrintable(table.first().at(i)));
        QVERIFY(!fields.at(errorColumn).isEmpty());
        QVERIFY(result.errors.at(row - 1).startsWith(files.at(row - 1) + QStringLiteral(": ")));
    }
    QVERIFY(value(table, 1, QStringLiteral("error")).startsWith(QStringLiteral("Hibás vizsgálati fájl: ")));
    QVERIFY(value(table, 2, QStringLiteral("error")).contains(QStringLiteral("(15)")));
    QCOMPARE(value(table, 3, QStringLiteral("error")),
             QStringLiteral("File not found: ") + QDir::toNativeSeparators(files.at(2)));
    QCOMPARE(value(table, 4, QStringLiteral("name")), QStringLiteral("Jó Jenő"));
    QCOMPARE(value(table, 4, QStringLiteral("error")), QString());
}

void ResearchExportTest::incompleteExaminationIsExported() {
    write(QStringLiteral("few.kvx"),
          examination(QStringLiteral("Kevés"), 12,
                      EvalFixture::linesFrom(EvalFixture::repeated(QStringLiteral("EV,,"), 10))));
    const Table table = exportTable({path(QStringLiteral("few.kvx"))}, {CsvDialect::standard(), false});
    QCOMPARE(value(table, 1, QStringLiteral("eval_complete")), QStringLiteral("0"));
    QCOMPARE(value(table, 1, QStringLiteral("eval_scored_picture_count")), QStringLiteral("10"));
    QCOMPARE(value(table, 1, QStringLiteral("eval_row_percent_E")), QStringLiteral("100"));
    QCOMPARE(value(table, 1, QStringLiteral("error")), QString());
}

void ResearchExportTest::anonymized() {
    const QString secretName = QStringLiteral("Titkos Tímea");
    const QString examiner = QStringLiteral("Dr. Rejtett Rezső");
    QDir(m_folder).mkpath(QStringLiteral("ZQXMAPPA"));
    ExaminationData d = examination(secretName, 10, EvalFixture::workedExample());
    ExaminationFile::write(path(QStringLiteral("ZQXMAPPA/zqxkod.kvx")), d);
    d.personal.date = QStringLiteral("május 6.");
    write(QStringLiteral("masik.kvx"), d);
    d.personal.date = QStringLiteral("2024.13.01.");
    write(QStringLiteral("honap.kvx"), d);
    d.personal.date = QStringLiteral("2013. július 22.");
    write(QStringLiteral("kiirt.kvx"), d);
    m_root->put(QStringLiteral("gy_vkt/archivum/ZQXHIBAS.kvx"), "csak egy sor\r\n");
    const QStringList files{path(QStringLiteral("ZQXMAPPA/zqxkod.kvx")), path(QStringLiteral("ZQXHIBAS.kvx")),
                            path(QStringLiteral("masik.kvx")), path(QStringLiteral("honap.kvx")),
                            path(QStringLiteral("kiirt.kvx"))};
    for (const CsvDialect& dialect : {CsvDialect::standard(), CsvDialect::excelHungarian()}) {
        ArchiveExport::Result result;
        const Table table = exportTable(files, {dialect, true}, &result);
        int row[5];
        for (int i = 0; i < 5; ++i)
            row[i] = rowOfFile(result, dialect, files.at(i));
        for (const QByteArray& bytes : {result.table, result.codebook}) {
            const QString text = QString::fromUtf8(bytes);
            for (const QString& secret :
                 {secretName, examiner, QStringLiteral("ZQX"), QStringLiteral("kvx"), QStringLiteral("masik"),
                  QStringLiteral("honap"), QStringLiteral("kiirt"), m_root->path()})
                QVERIFY2(!text.contains(secret, Qt::CaseInsensitive), qPrintable(secret));
        }
        const QStringList header = table.first();
        for (const char* gone : {"file", "name", "examiner"})
            QVERIFY(!header.contains(QLatin1String(gone)));
        QCOMPARE(header.mid(0, 5), (QStringList{QStringLiteral("code"), QStringLiteral("sex"), QStringLiteral("age"),
                                                QStringLiteral("date"), QStringLiteral("p1_od")}));
        for (int r = 1; r <= 5; ++r)
            QCOMPARE(value(table, r, QStringLiteral("code")), QStringLiteral("S%1").arg(r, 4, 10, QLatin1Char('0')));
        QCOMPARE(value(table, row[0], QStringLiteral("date")), QStringLiteral("2024.05."));
        QCOMPARE(value(table, row[2], QStringLiteral("date")), QString());
        QCOMPARE(value(table, row[3], QStringLiteral("date")), QString());
        QCOMPARE(value(table, row[4], QStringLiteral("date")), QStringLiteral("2013.07."));
        QCOMPARE(value(table, row[0], QStringLiteral("eval_gcr_percent")), QStringLiteral("43"));
        // The broken file's message keeps its line, with the serial code where the file was.
        QCOMPARE(value(table, row[1], QStringLiteral("error")),
                 QStringLiteral("Hibás vizsgálati fájl: S%1\n2. sor: a fájl véget ér a személyi adatok és a "
                                "jelölések vége előtt.")
                     .arg(row[1], 4, 10, QLatin1Char('0')));
        // What the caller reports (on stderr) still names the file.
        QVERIFY(result.errors.first().startsWith(files.at(1)));
    }
}

void ResearchExportTest::codebookDescribesEveryColumn_data() {
    QTest::addColumn<bool>("anonymize");
    QTest::addColumn<bool>("excel");
    QTest::newRow("standard") << false << false;
    QTest::newRow("anonymized Excel") << true << true;
}

void ResearchExportTest::codebookDescribesEveryColumn() {
    QFETCH(bool, anonymize);
    QFETCH(bool, excel);
    write(QStringLiteral("abc.kvx"), examination(QStringLiteral("Kis Péter"), 9, EvalFixture::workedExample()));
    const CsvDialect dialect = excel ? CsvDialect::excelHungarian() : CsvDialect::standard();
    ArchiveExport::Result result;
    const Table table = exportTable({path(QStringLiteral("abc.kvx"))}, {dialect, anonymize}, &result);
    QByteArray bytes = result.codebook;
    QCOMPARE(bytes.startsWith("\xEF\xBB\xBF"), excel);
    if (excel)
        bytes.remove(0, 3);
    bool ok = false;
    const Table codebook = parseCsv(bytes, dialect.separator, &ok);
    QVERIFY(ok);
    QCOMPARE(codebook.first(),
             (QStringList{QStringLiteral("name"), QStringLiteral("description_hu"), QStringLiteral("description_en"),
                          QStringLiteral("type"), QStringLiteral("values")}));
    QCOMPARE(codebook.size(), table.first().size() + 1);
    QStringList hungarian;
    for (qsizetype i = 1; i < codebook.size(); ++i) {
        const QStringList& row = codebook.at(i);
        QCOMPARE(row.size(), 5);
        QCOMPARE(row.at(0), table.first().at(i - 1));
        // A column nobody described would have neither a type nor its own description.
        QVERIFY2(!row.at(3).isEmpty(), qPrintable(row.at(0)));
        QVERIFY2(!row.at(1).isEmpty() && !row.at(2).isEmpty(), qPrintable(row.at(0)));
        hungarian << row.at(1);
    }
    QCOMPARE(hungarian.removeDuplicates(), 0);
    const qsizetype points =
        codebook.indexOf(QStringList{QStringLiteral("eval_points_15"), QStringLiteral("a(z) 15. kép GCR-pontja"),
                                     QStringLiteral("GCR point of picture 15"), QStringLiteral("number"),
                                     excel ? QStringLiteral("0 / 0,5 / 1") : QStringLiteral("0 / 0.5 / 1")});
    QVERIFY(points > 0);
}

void ResearchExportTest::codebookPath_data() {
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("codebook");
    QTest::newRow("csv") << QStringLiteral("out.csv") << QStringLiteral("out.codebook.csv");
    QTest::newRow("folder and capitals") << QStringLiteral("a.b/OUT.CSV") << QStringLiteral("a.b/OUT.codebook.CSV");
    QTest::newRow("no extension") << QStringLiteral("out") << QStringLiteral("out.codebook.csv");
    QTest::newRow("other extension") << QStringLiteral("x.csv.txt") << QStringLiteral("x.csv.txt.codebook.csv");
}

void ResearchExportTest::codebookPath() {
    QFETCH(QString, output);
    QFETCH(QString, codebook);
    QCOMPARE(ArchiveExport::codebookPath(output), codebook);
}

void ResearchExportTest::neverOverwritesAnExamination() {
    write(QStringLiteral("abc.kvx"), examination(QStringLiteral("Kis Péter"), 9, EvalFixture::workedExample()));
    const QString exam = path(QStringLiteral("abc.kvx"));
    const QByteArray before = readFileBytes(exam);
    const ArchiveExport::Result result =
        ArchiveExport::build({exam}, EvalFixture::workedExampleKey(), {CsvDialect::standard(), false});
    // As the output, or (through another spelling of the path) as the codebook's place.
    for (const QString& output : {exam, m_folder + QStringLiteral("/./abc.kvx")}) {
        QVERIFY_THROWS_EXCEPTION(UserError, ArchiveExport::write(output, result, {exam}));
        QCOMPARE(readFileBytes(exam), before);
    }
    const QString codebookClash = path(QStringLiteral("abc.codebook.csv"));
    QVERIFY_THROWS_EXCEPTION(UserError, ArchiveExport::write(path(QStringLiteral("abc.csv")), result, {codebookClash}));
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("abc.csv"))));

    // A link table only beside an anonymized export, never in place of an examination or the codebook.
    const QString x = path(QStringLiteral("x.csv"));
    QVERIFY_THROWS_EXCEPTION(UserError, ArchiveExport::write(x, result, {exam}, path(QStringLiteral("l.csv"))));
    const auto anonymous =
        ArchiveExport::build({exam}, EvalFixture::workedExampleKey(), {CsvDialect::standard(), true});
    for (const QString& link : {exam, path(QStringLiteral("x.codebook.csv"))})
        QVERIFY_THROWS_EXCEPTION(UserError, ArchiveExport::write(x, anonymous, {exam}, link));
    QVERIFY(!QFileInfo::exists(x));

    const QString output = path(QStringLiteral("export.csv"));
    ArchiveExport::write(output, result, {exam});
    QCOMPARE(readFileBytes(output), result.table);
    QCOMPARE(readFileBytes(path(QStringLiteral("export.codebook.csv"))), result.codebook);
    QCOMPARE(readFileBytes(exam), before);
}

void ResearchExportTest::tableAndCodebookAreReplacedTogether() {
    write(QStringLiteral("abc.kvx"), examination(QStringLiteral("Kis Péter"), 9, EvalFixture::workedExample()));
    const ArchiveExport::Result result = ArchiveExport::build(
        {path(QStringLiteral("abc.kvx"))}, EvalFixture::workedExampleKey(), {CsvDialect::standard(), false});
    const QString table = path(QStringLiteral("x.csv"));
    const QString codebook = path(QStringLiteral("x.codebook.csv"));
    // A small full disk: room for the table, none for the codebook; or the codebook's rename refused.
    for (const AtomicFile::Step step : {AtomicFile::Step::Write, AtomicFile::Step::Rename}) {
        QFile(table).remove();
        QFile(codebook).remove();
        AtomicFile::write(table, "old table");
        AtomicFile::write(codebook, "old codebook");
        AtomicFile::injectFault(AtomicFile::Fault{step, 0, QStringLiteral("x.codebook.csv")});
        QVERIFY_THROWS_EXCEPTION(UserError, ArchiveExport::write(table, result, {}));
        AtomicFile::injectFault(std::nullopt);
        QCOMPARE(readFileBytes(table), QByteArray("old table"));
        QCOMPARE(readFileBytes(codebook), QByteArray("old codebook"));
        QCOMPARE(QDir(m_folder).entryList(QDir::Hidden | QDir::Files).filter(QStringLiteral(".x.")), QStringList());
    }
}

void ResearchExportTest::exportSetStoppedAtEveryStep_data() {
    QTest::addColumn<bool>("anonymizedBefore");
    QTest::addColumn<bool>("byNextExport"); // else by the program's next start
    QTest::newRow("anonymized over anonymized, next export") << true << true;
    QTest::newRow("anonymized over anonymized, next start") << true << false;
    QTest::newRow("anonymized over plain, next start") << false << false;
}

void ResearchExportTest::exportSetStoppedAtEveryStep() {
    QFETCH(bool, anonymizedBefore);
    QFETCH(bool, byNextExport);
    bool finished = false;
    for (int step = 1; !finished; ++step) {
        // Two children, so that a serial led to the wrong one would show; the table in a folder the
        // program writes, the link table in another.
        const TestRoot root;
        const QStringList files{root.path() + QStringLiteral("/gy_vkt/archivum/a.kvx"),
                                root.path() + QStringLiteral("/gy_vkt/archivum/b.kvx")};
        ExaminationFile::write(files.at(0), examination(QStringLiteral("Első"), 9, EvalFixture::workedExample()));
        ExaminationFile::write(files.at(1), examination(QStringLiteral("Második"), 12, EvalFixture::workedExample()));
        const QString table = root.root().htmlFolder() + QStringLiteral("/x.csv");
        const QString links = root.path() + QStringLiteral("/kapcsolat.csv");
        const auto exported = [&](bool anonymize) {
            return ArchiveExport::build(files, EvalFixture::workedExampleKey(), {CsvDialect::standard(), anonymize});
        };
        const auto onDisk = [&] {
            return QList<QByteArray>{readFileBytes(table), readFileBytes(ArchiveExport::codebookPath(table)),
                                     readFileBytes(links)};
        };
        const auto setOf = [](const ArchiveExport::Result& r) {
            return QList<QByteArray>{r.table, r.codebook, r.linkTable.isEmpty() ? QByteArray() : r.linkTable};
        };
        const ArchiveExport::Result before = exported(anonymizedBefore);
        ArchiveExport::write(table, before, files, anonymizedBefore ? links : QString());
        const ArchiveExport::Result after = exported(true);
        const ArchiveExport::Result third = exported(true);
        const auto next = [&] {
            if (byNextExport)
                ArchiveExport::write(table, third, files, links);
            else
                StartupRecovery::run(root.root(), QDateTime::currentDateTime().addSecs(1));
        };
        ExportSet::stopAfter(step);
        try {
            ArchiveExport::write(table, after, files, links);
            finished = true;
        } catch (const AtomicFile::Stopped&) {
        }
        // Right after the crash, and after a recovery cut at the same step: an old set, the new
        // one, or no table at all.
        for (int crash = 0; crash < 2; ++crash) {
            const QList<QByteArray> now = onDisk();
            QVERIFY2(now == setOf(before) || now == setOf(after) || now == setOf(third) || now.first().isNull(),
                     qPrintable(QStringLiteral("stopped after step %1: a mixed set").arg(step)));
            if (crash == 0) {
                try {
                    next();
                } catch (const AtomicFile::Stopped&) {
                }
            }
        }
        ExportSet::stopAfter(std::nullopt);
        next();
        const QList<QByteArray> settled = onDisk();
        QVERIFY2(byNextExport ? settled == setOf(third) : settled == setOf(after) || settled == setOf(before),
                 qPrintable(QStringLiteral("stopped after step %1: not settled").arg(step)));
        for (const QString& folder : {root.root().htmlFolder(), root.path()}) {
            const QStringList left =
                QDir(folder).entryList(QDir::Files | QDir::Hidden).filter(QRegularExpression(QStringLiteral("^\\.")));
            QVERIFY2(left.isEmpty(), qPrintable(QStringLiteral("step %1: %2").arg(step).arg(left.join(u' '))));
        }
    }
}

void ResearchExportTest::largeExportKeepsFileOrder() {
    // Enough rows for the export to read in several blocks at once; the rows must still follow
    // the serials, and each serial's row hold the file the link table names.
    write(QStringLiteral("a.kvx"), examination(QStringLiteral("Első"), 9, EvalFixture::workedExample()));
    write(QStringLiteral("b.kvx"), examination(QStringLiteral("Második"), 15, EvalFixture::workedExample()));
    write(QStringLiteral("c.kvx"), examination(QStringLiteral("Harmadik"), 12, EvalFixture::workedExample()));
    const QStringList three{path(QStringLiteral("a.kvx")), path(QStringLiteral("b.kvx")),
                            path(QStringLiteral("c.kvx"))};
    QStringList files;
    for (int i = 0; i < 1000; ++i)
        files << three;
    ArchiveExport::Result result;
    const Table table = exportTable(files, {CsvDialect::standard(), true}, &result);
    QCOMPARE(result.errors.size(), 1000);
    const Table links = parseWithDialect(result.linkTable, CsvDialect::standard());
    QCOMPARE(links.size(), files.size() + 1);
    for (int row = 1; row <= files.size(); ++row) {
        const QString serial = QStringLiteral("S%1").arg(row, 4, 10, QLatin1Char('0'));
        QCOMPARE(value(table, row, QStringLiteral("code")), serial);
        QCOMPARE(links.at(row).at(0), serial);
        const int kind = static_cast<int>(three.indexOf(links.at(row).at(1)));
        QCOMPARE(value(table, row, QStringLiteral("age")), kind == 0   ? QStringLiteral("9")
                                                           : kind == 1 ? QString()
                                                                       : QStringLiteral("12"));
        QCOMPARE(value(table, row, QStringLiteral("error")).isEmpty(), kind != 1);
    }
    for (int i = 0; i < result.errors.size(); ++i)
        QVERIFY(result.errors.at(i).startsWith(three.at(1)));
}

void ResearchExportTest::serialsAreUnlinkable() {
    // Files in code order, each age following the order, so that a row that took another file's
    // serial would show.
    constexpr int kFiles = 300;
    QStringList files;
    for (int i = 0; i < kFiles; ++i) {
        files << path(QStringLiteral("k%1.kvx").arg(i, 3, 10, QLatin1Char('0')));
        ExaminationFile::write(files.last(), examination(QStringLiteral("N"), 7 + i % 8, EvalFixture::workedExample()));
    }
    ArchiveExport::Result result;
    const Table table = exportTable(files, {CsvDialect::standard(), true}, &result);
    const Table links = parseWithDialect(result.linkTable, CsvDialect::standard());
    QCOMPARE(links.size(), kFiles + 1);
    QList<int> fileOfRow;
    double squares = 0;
    for (int row = 1; row <= kFiles; ++row) {
        const int i = static_cast<int>(files.indexOf(links.at(row).at(1)));
        QVERIFY(i >= 0 && !fileOfRow.contains(i));
        QCOMPARE(links.at(row).at(0), value(table, row, QStringLiteral("code")));
        QCOMPARE(links.at(row).at(2), QStringLiteral("K%1").arg(i, 3, 10, QLatin1Char('0')));
        QCOMPARE(value(table, row, QStringLiteral("age")), QString::number(7 + i % 8));
        fileOfRow << i;
        squares += double(row - 1 - i) * (row - 1 - i);
    }
    // Spearman's rank correlation of serial and code order: for a random order its standard
    // deviation is 1/sqrt(299), about 0.06, so 0.3 is five of them away; sorted codes give 1.
    const double rho = 1 - 6 * squares / (double(kFiles) * (double(kFiles) * kFiles - 1));
    QVERIFY2(std::abs(rho) < 0.3, qPrintable(QString::number(rho)));
    // Nor is the order a fixed one: another export deals the serials anew.
    QVERIFY(ArchiveExport::build(files, EvalFixture::workedExampleKey(), {CsvDialect::standard(), true}).linkTable !=
            result.linkTable);
}

void ResearchExportTest::codebookMatchesTheValues() {
    // Trends that point both ways: the worked example's, and a late half of IV, II and KM.
    const QStringList late =
        EvalFixture::repeated(QStringLiteral(",,"), 12) + EvalFixture::repeated(QStringLiteral("IV,II,KM"), 12);
    write(QStringLiteral("a.kvx"), examination(QStringLiteral("A"), 9, EvalFixture::workedExample()));
    write(QStringLiteral("c.kvx"), examination(QStringLiteral("C"), 14, EvalFixture::linesFrom(late)));
    const CsvDialect excel = CsvDialect::excelHungarian();
    ArchiveExport::Result result;
    const Table table =
        exportTable({path(QStringLiteral("a.kvx")), path(QStringLiteral("c.kvx"))}, {excel, false}, &result);
    const Table codebook = parseWithDialect(result.codebook, excel);
    static const QRegularExpression trend(QStringLiteral("^(?:[0-9,]+ -> (\\w+)|(\\w+) <- -[0-9,]+)$"));
    int forward = 0;
    int backward = 0;
    for (int c = 1; c < codebook.size(); ++c) {
        const QString& name = codebook.at(c).at(0);
        const QString& type = codebook.at(c).at(3);
        const QString& values = codebook.at(c).at(4);
        for (const int row : {1, 2}) {
            const QString v = value(table, row, name);
            const QString where = name + QStringLiteral(": ") + v + QStringLiteral(" / ") + values;
            bool ok = true;
            if ((type == QLatin1String("number") || type == QLatin1String("integer")) && !v.isEmpty())
                QString(v).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
            if (type == QLatin1String("integer"))
                ok = ok && !v.contains(QLatin1Char(','));
            if (name.endsWith(QLatin1String("_class")) || name.endsWith(QLatin1String("_code")))
                ok = v.isEmpty() || values.split(QStringLiteral(", ")).contains(v);
            if (name.startsWith(QLatin1String("eval_trend_text_")) && v != QLatin1String("nincs")) {
                // The documented form, with this place's own label.
                const QRegularExpressionMatch m = trend.match(v);
                ++(m.hasCaptured(1) ? forward : backward);
                ok = m.hasMatch() && values.contains(m.hasCaptured(1) ? QStringLiteral(" -> ") + m.captured(1) + u'"'
                                                                      : u'"' + m.captured(2) + QStringLiteral(" <- "));
            }
            QVERIFY2(ok, qPrintable(where));
        }
    }
    QVERIFY(forward > 0 && backward > 0);
}

QTEST_GUILESS_MAIN(ResearchExportTest)
#include "tst_research_export.moc"
