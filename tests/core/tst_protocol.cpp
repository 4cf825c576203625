#include "TestRoot.h"
#include "base/Cp1250.h"
#include "base/UserError.h"
#include "model/Evaluate.h"
#include "render/NumberText.h"
#include "render/ProtocolWriter.h"
#include "render/ResultText.h"
#include "tst_evaluate_example.h"

#include <QTemporaryDir>
#include <QtTest>

using R = EvaluationResult;
using namespace EvalFixture;

namespace {

const QChar kComma = QLatin1Char(',');
const QChar kPoint = QLatin1Char('.');

PersonalData subject() {
    PersonalData pd;
    pd.code = QStringLiteral("ABC");
    pd.name = QStringLiteral("Kis Péter");
    pd.sex = PersonalData::Sex::Boy;
    pd.age = 9;
    pd.date = QStringLiteral("2024.05.06.");
    pd.examiner = QStringLiteral("Dr. Minta Anna");
    return pd;
}

// The worked example under a key that gives it 9.5 points.
Coding workedExampleCoding() {
    return Coding(workedExampleKey(), workedExample());
}

QStringList workedExampleLines(QChar separator = kComma) {
    const Coding coding = workedExampleCoding();
    return ProtocolWriter::protocolLines(subject(), coding, evaluate(coding, 9, separator), separator);
}

// The page of the worked example as the protocol layout prescribes it, typed out line by line.
QStringList expectedWorkedExample() {
    QStringList l;
    l << QStringLiteral("<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1250\">"
                        "<TITLE>Tavrix Gyermek VKT jkv.</TITLE></HEAD><BODY><PRE><P>")
      << QStringLiteral("<IMG SRC=\"logo.png\">")
      << QStringLiteral("<TABLE CELLPADDING=\"2\"><TR><TD><B>A vsz neve: </B>Kis "
                        "Péter&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;</TD>")
      << QStringLiteral("<TD><B>A vsz kódja: </B>ABC</TD></TR>")
      << QStringLiteral("<TR><TD><B>neme: </B>fiú</TD><TD><B>a vizsgálat időpontja: </B>2024.05.06.</TD></TR>")
      << QStringLiteral("<TR><TD><B>életkora: </B>9</TD>")
      << QStringLiteral("<TD><B>a vizsgálat vezetője: </B>Dr. Minta Anna</TD></TR></TABLE>")
      << QStringLiteral("<P><TABLE CELLPADDING=\"2\">")
      << QStringLiteral("<TR><TD ROWSPAN=3><TABLE BORDER CELLPADDING=\"2\"><TR><TD COLSPAN=6 "
                        "bgcolor=\"aaCCff\"><B>I. JEL&Ouml;L&Eacute;S</B></TD></TR>")
      << QStringLiteral("<TR><TD></TD><TD><B>O - D</B></TD><TD><B>E - D</B></TD><TD><B>N - P</B></TD>")
      << QStringLiteral("<TD><B>&nbsp;GCR</B></TD><TD><B>&nbsp;pont</B></TD></TR>");
    const std::array<ScoringLine, 24> lines = workedExample();
    for (int p = 1; p <= 24; ++p) {
        const ScoringLine& s = lines[static_cast<size_t>(p - 1)];
        l << QStringLiteral("<TR>") << QStringLiteral("<TD><P ALIGN=Right>%1.</TD>").arg(p)
          << QStringLiteral("<TD>") + s.field(1) + QStringLiteral("</TD>")
          << QStringLiteral("<TD>") + s.field(2) + QStringLiteral("</TD>")
          << QStringLiteral("<TD>") + s.field(3) + QStringLiteral("</TD>")
          // The key file's pairs, k1, a blank and k2: NE for 1-6, MV for 7-9, EV for 10, EE for 15.
          << (p <= 6    ? QStringLiteral("<TD>NE </TD>")
              : p <= 9  ? QStringLiteral("<TD>MV </TD>")
              : p == 10 ? QStringLiteral("<TD>EV </TD>")
              : p == 15 ? QStringLiteral("<TD>EE </TD>")
                        : QStringLiteral("<TD> </TD>"))
          // One matching single code earns 1; EENI against EE half a point; MV against EV none.
          << (p <= 9    ? QStringLiteral("<TD>1</TD>")
              : p == 15 ? QStringLiteral("<TD>0.5</TD>")
                        : QStringLiteral("<TD>0.0</TD>"));
    }
    l << QStringLiteral("</TR></TABLE>") << QStringLiteral("</TD><TD><TABLE BORDER CELLPADDING=\"2\">")
      << QStringLiteral("<TR><TD COLSPAN=7 bgcolor=\"aaCCff\"><B>II. PROFIL</B></TD></TR>")
      << QStringLiteral("<TR><TD></TD><TD><A HREF=\"irodalom/od.html\"><B>O - D</B></A></TD>")
      << QStringLiteral("<TD><A HREF=\"irodalom/ed.html\"><B>E - D</B></A></TD>")
      << QStringLiteral("<TD><A HREF=\"irodalom/np.html\"><B>N - P</B></A></TD>")
      << QStringLiteral("<TD><B>&Ouml;ssz.:</B></TD><TD><B>&nbsp;% </B></TD><TD><B>T</B></TD></TR>");
    l << QStringLiteral("<TR><TD><P ALIGN=Right><A HREF=\"irodalom/e.html\"><B>E</B></A></TD>")
      << QStringLiteral("<TD>0</TD>") << QStringLiteral("<TD>7,5</TD>") << QStringLiteral("<TD>4</TD>")
      << QStringLiteral("<TD>11,5</TD>") << QStringLiteral("<TD>52</TD>") << QStringLiteral("<TD>Mdn/Q3</TD></TR>");
    l << QStringLiteral("<TR><TD><P ALIGN=Right><A HREF=\"irodalom/i.html\"><B>I</B></A></TD>")
      << QStringLiteral("<TD>1,5</TD>") << QStringLiteral("<TD>1,5</TD>") << QStringLiteral("<TD>1,5</TD>")
      << QStringLiteral("<TD>4,5</TD>") << QStringLiteral("<TD>20</TD>") << QStringLiteral("<TD>Q1/Mdn</TD></TR>");
    l << QStringLiteral("<TR><TD><P ALIGN=Right><A HREF=\"irodalom/m.html\"><B>M</B></A></TD>")
      << QStringLiteral("<TD>4</TD>") << QStringLiteral("<TD>2</TD>") << QStringLiteral("<TD>0</TD>")
      << QStringLiteral("<TD>6</TD>") << QStringLiteral("<TD>28</TD>") << QStringLiteral("<TD>Q1/Mdn</TD></TR>");
    l << QStringLiteral("<TR><TD><P ALIGN=Right><B>&Ouml;ssz.:</B></TD>") << QStringLiteral("<TD>5,5</TD>")
      << QStringLiteral("<TD>11</TD>") << QStringLiteral("<TD>5,5</TD>") << QStringLiteral("<TD></TD>")
      << QStringLiteral("<TD></TD>") << QStringLiteral("<TD></TD></TR>");
    l << QStringLiteral("<TR><TD><P ALIGN=Right><B>%</B></TD>") << QStringLiteral("<TD>25</TD>")
      << QStringLiteral("<TD>50</TD>") << QStringLiteral("<TD>25</TD>") << QStringLiteral("<TD></TD>")
      << QStringLiteral("<TD></TD>") << QStringLiteral("<TD></TD></TR>");
    l << QStringLiteral("<TR><TD><P ALIGN=Right><B>T</B></TD>") << QStringLiteral("<TD>Mdn/Q3</TD>")
      << QStringLiteral("<TD>Mdn/Q3</TD>") << QStringLiteral("<TD>Q1/Mdn</TD>") << QStringLiteral("<TD></TD>")
      << QStringLiteral("<TD></TD>") << QStringLiteral("<TD></TD></TR></TABLE>");
    l << QStringLiteral("<TABLE BORDER CELLPADDING=\"2\">")
      << QStringLiteral("<TR><TD COLSPAN=4 bgcolor=\"aaCCff\"><B>III. KIEG&Eacute;SZ&Iacute;T&#336; "
                        "PROFIL</B></TD>")
      << QStringLiteral("<TR><TD COLSPAN=3><B>FELETTES-&Eacute;N MUTAT&Oacute;K</B></TD><TD><A "
                        "HREF=\"irodalom/tend.html\"><B>TENDENCIÁK</B></A></TD>");
    const char* const superego[6] = {"1,5 = 7%</TD><TD>= Mdn/Q3", "0 = 0%</TD><TD>= &#60;Q1",
                                     "1,5 = 7%</TD><TD>= Q1/Mdn", "6 = 27%</TD><TD>= Mdn/Q3",
                                     "1,5 = 7%</TD><TD>= Mdn/Q3", "6 = 27%</TD><TD>= Q1/Mdn"};
    const char* const trendCells[5] = {"1 -&GT; MV", "0,3333 -&GT; NE", "nincs", "I &LT;- -1<BR>0,3333 -&GT; M",
                                       "nincs"};
    for (int k = 1; k <= 6; ++k) {
        l << QStringLiteral("<TR><TD><P ALIGN=Right><A HREF=\"irodalom/fel_en.html\"><IMG "
                            "SRC=\"fel_%1.png\"></A></TD>")
                 .arg(k);
        const QString head = QStringLiteral("<TD> = ") + QString::fromUtf8(superego[k - 1]) + QStringLiteral(" T</TD>");
        if (k < 6)
            l << head + QStringLiteral("<TD><A HREF=\"irodalom/tend_%1.html\">").arg(k) +
                     QString::fromUtf8(trendCells[k - 1]) + QStringLiteral("</A></TD></TR>");
        else
            l << head + QStringLiteral("<TD></TD></TR>");
    }
    l << QStringLiteral("</TABLE>");
    l << QStringLiteral("<TABLE BORDER CELLPADDING=\"2\">")
      << QStringLiteral("<TR><TD COLSPAN=3 bgcolor=\"aaCCff\"><B>RAUCHFLEISCH-MUTAT&Oacute;K:</B></TD></TR>");
    const char* const rauch[5] = {"2,5556", "1,9167", "2,875", "6,6667", "0,375"};
    for (int i = 0; i < 5; ++i) {
        const QChar letter = QLatin1Char(static_cast<char>('a' + i));
        l << QStringLiteral("<TR><TD><A HREF=\"irodalom/rau_%1.html\"><IMG SRC=\"rau_%2.png\"></A></TD>")
                 .arg(letter)
                 .arg(i + 1)
          << QStringLiteral("<TD> = %1</TD><TD><A HREF=\"irodalom/rau_%2.html\">értelmezés</A></TD></TR>")
                 .arg(QLatin1String(rauch[i]))
                 .arg(letter);
    }
    l << QStringLiteral("</TABLE></TD></TR></TABLE></TD></TR></TABLE>");
    l << QStringLiteral("<P><TABLE BORDER CELLPADDING=\"2\"><TR><TD><A HREF=\"irodalom/totmut.html\"><B>Totális "
                        "mutató: </B></A>NE(7,5) &GT; MV(4) = KE(4)&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;</TD>")
      << QStringLiteral("<TD><B>GCR százalék: </B>43 (normál) </TD></TR></TABLE>")
      << QStringLiteral("</PRE></BODY></HTML>");
    return l;
}

// 1-based line numbers of the page.
constexpr int kLineSex = 5;
constexpr int kFirstTrendCell = 233;  // superego index 1's value line; index k at + 2 (k - 1)
constexpr int kFirstRauchValue = 248; // index a; the next ones every other line

} // namespace

class ProtocolTest : public QObject {
    Q_OBJECT
private slots:
    void fourDecimalText_data();
    void fourDecimalText();
    void workedExampleLineByLine();
    void bytesAreWindows1250WithCrLf();
    void girlsLineFive();
    void dataTextsAreEscaped();
    void resultTexts_data();
    void resultTexts();
    void trendCellJoining_data();
    void trendCellJoining();
    void rauchfleischWithoutValue();
    void pointSeparator();
    void twoRunsGiveIdenticalFiles();
    void missingFolderIsReportedAndNothingWritten();
};

void ProtocolTest::fourDecimalText_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("comma");
    QTest::addColumn<QString>("point");
    QTest::newRow("half") << 0.5 << QStringLiteral("0,5") << QStringLiteral("0.5");
    QTest::newRow("whole") << 12.0 << QStringLiteral("12") << QStringLiteral("12");
    QTest::newRow("zero") << 0.0 << QStringLiteral("0") << QStringLiteral("0");
    QTest::newRow("third") << 1.0 / 3 << QStringLiteral("0,3333") << QStringLiteral("0.3333");
    QTest::newRow("two thirds") << 2.0 / 3 << QStringLiteral("0,6667") << QStringLiteral("0.6667");
    QTest::newRow("negative") << -1.0 / 3 << QStringLiteral("-0,3333") << QStringLiteral("-0.3333");
    QTest::newRow("negative whole") << -1.0 << QStringLiteral("-1") << QStringLiteral("-1");
    QTest::newRow("4.5") << 4.5 << QStringLiteral("4,5") << QStringLiteral("4.5");
    QTest::newRow("trailing zeros") << 2.875 << QStringLiteral("2,875") << QStringLiteral("2.875");
    // Exact halves of the fourth decimal go to the even neighbour.
    QTest::newRow("half to even down") << 1.0 / 32 << QStringLiteral("0,0312") << QStringLiteral("0.0312");
    QTest::newRow("half to even up") << 3.0 / 32 << QStringLiteral("0,0938") << QStringLiteral("0.0938");
    QTest::newRow("negative half") << -1.0 / 32 << QStringLiteral("-0,0312") << QStringLiteral("-0.0312");
    QTest::newRow("tiny negative") << -0.00001 << QStringLiteral("0") << QStringLiteral("0");
    QTest::newRow("rounds to whole") << 1.99996 << QStringLiteral("2") << QStringLiteral("2");
    QTest::newRow("huge") << 1e20 << QStringLiteral("100000000000000000000") << QStringLiteral("100000000000000000000");
    QTest::newRow("no grouping") << 1234567.25 << QStringLiteral("1234567,25") << QStringLiteral("1234567.25");
}

void ProtocolTest::fourDecimalText() {
    QFETCH(double, value);
    QFETCH(QString, comma);
    QFETCH(QString, point);
    QCOMPARE(::fourDecimalText(value, kComma), comma);
    QCOMPARE(::fourDecimalText(value, kPoint), point);
}

void ProtocolTest::workedExampleLineByLine() {
    const QStringList actual = workedExampleLines();
    const QStringList expected = expectedWorkedExample();
    QCOMPARE(expected.size(), ProtocolWriter::kLineCount);
    QCOMPARE(actual.size(), ProtocolWriter::kLineCount);
    for (int i = 0; i < expected.size(); ++i) {
        if (actual.at(i) != expected.at(i))
            QFAIL(qPrintable(
                QStringLiteral("line %1:\n  got      %2\n  expected %3").arg(i + 1).arg(actual.at(i), expected.at(i))));
    }
}

void ProtocolTest::bytesAreWindows1250WithCrLf() {
    const Coding grid = workedExampleCoding();
    const R r = evaluate(grid, 9, kComma);
    const QByteArray bytes = ProtocolWriter::protocolBytes(subject(), grid, r, kComma);
    QCOMPARE(bytes.count("\r\n"), 260);
    QCOMPARE(bytes.count('\r'), 260);
    QCOMPARE(bytes.count('\n'), 260);
    QVERIFY(bytes.endsWith("</PRE></BODY></HTML>\r\n"));
    QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
    // Accented letters of the fixed texts as single Windows-1250 bytes, the rest as entities.
    QVERIFY(bytes.contains("<B>TENDENCI\xC1K</B>"));
    QVERIFY(bytes.contains("<B>a vizsg\xE1lat id\xF5pontja: </B>"));
    QVERIFY(bytes.contains("\r\n<TR><TD><B>\xE9letkora: </B>9</TD>\r\n"));
    QVERIFY(bytes.contains(">\xE9rtelmez\xE9s</A>"));
    QVERIFY(bytes.contains("<B>Tot\xE1lis mutat\xF3: </B>"));
    QVERIFY(bytes.contains("Kis P\xE9ter&nbsp;"));
    QVERIFY(bytes.contains("<B>neme: </B>fi\xFA</TD>"));
    QVERIFY(bytes.contains("KIEG&Eacute;SZ&Iacute;T&#336; PROFIL"));
    QVERIFY(bytes.contains("(norm\xE1l) </TD>"));
    QCOMPARE(Cp1250::decode(bytes).split(QStringLiteral("\r\n")).mid(0, 260), workedExampleLines());
}

void ProtocolTest::girlsLineFive() {
    const Coding grid = workedExampleCoding();
    PersonalData pd = subject();
    pd.sex = PersonalData::Sex::Girl;
    const QStringList lines = ProtocolWriter::protocolLines(pd, grid, evaluate(grid, pd.age, kComma), kComma);
    QCOMPARE(lines.at(kLineSex - 1),
             QStringLiteral("<TR><TD><B>neme: </B>lány</TD><TD><B>a vizsgálat időpontja: </B>2024.05.06.</TD></TR>"));
}

void ProtocolTest::dataTextsAreEscaped() {
    std::array<ScoringLine, 24> coded = workedExample();
    coded[22].field(1) = QStringLiteral("<b>");
    GcrKey key = workedExampleKey();
    key.pair(24).k1 = QStringLiteral("\"&");
    key.pair(24).k2 = QStringLiteral("\"");
    const Coding grid(key, coded);
    PersonalData pd = subject();
    pd.name = QStringLiteral("Kovács & <Társa>");
    pd.code = QStringLiteral("A&B<C");
    pd.date = QStringLiteral("\"ma\"");
    pd.examiner = QStringLiteral("X > Y");
    const R r = evaluate(grid, pd.age, kComma);
    const QStringList lines = ProtocolWriter::protocolLines(pd, grid, r, kComma);
    QCOMPARE(lines.size(), 260);
    QCOMPARE(lines.at(2), QStringLiteral("<TABLE CELLPADDING=\"2\"><TR><TD><B>A vsz neve: </B>Kovács &amp; "
                                         "&lt;Társa&gt;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;</TD>"));
    QCOMPARE(lines.at(3), QStringLiteral("<TD><B>A vsz kódja: </B>A&amp;B&lt;C</TD></TR>"));
    QVERIFY(lines.at(4).endsWith(QStringLiteral("</B>&quot;ma&quot;</TD></TR>")));
    QCOMPARE(lines.at(6), QStringLiteral("<TD><B>a vizsgálat vezetője: </B>X &gt; Y</TD></TR></TABLE>"));
    // Picture 23 starts at line 11 + 22 * 7 + 1; its O-D cell is the third of its lines.
    QCOMPARE(lines.at(11 + 22 * 7 + 2), QStringLiteral("<TD>&lt;b&gt;</TD>"));
    QCOMPARE(lines.at(11 + 23 * 7 + 5), QStringLiteral("<TD>&quot;&amp; &quot;</TD>"));
    // The evaluation's own entities go through untouched.
    QVERIFY(lines.at(kFirstTrendCell - 1).contains(QStringLiteral(">1 -&GT; MV</A>")));
}

void ProtocolTest::resultTexts_data() {
    // What each value reads in the HTML protocol, and what the pages, the chart and the table show:
    // the same text with the protocol's four references replaced by their characters.
    using RT = ResultText::Form;
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("expected"); // the HTML form
    const std::pair<QuartileClass, const char*> classes[] = {{QuartileClass::BelowQ1, "&#60;Q1"},
                                                             {QuartileClass::Q1ToMedian, "Q1/Mdn"},
                                                             {QuartileClass::Median, "Mdn"},
                                                             {QuartileClass::MedianToQ3, "Mdn/Q3"},
                                                             {QuartileClass::AboveQ3, "&#62;Q3"}};
    for (const auto& [c, text] : classes)
        QTest::addRow("class %s", text) << ResultText::quartileClass(c, RT::Html)
                                        << ResultText::quartileClass(c, RT::Plain) << QString::fromUtf8(text);
    const std::pair<GcrClass, const char*> gcr[] = {{GcrClass::Low, "alacsony"},
                                                    {GcrClass::Normal, "normál"},
                                                    {GcrClass::High, "magas"},
                                                    {GcrClass::ExtremelyHigh, "extrém magas"}};
    for (const auto& [c, text] : gcr)
        QTest::addRow("GCR %s", text) << ResultText::gcrClass(c) << ResultText::gcrClass(c) << QString::fromUtf8(text);
    const std::optional<double> none;
    QTest::newRow("no trend") << ResultText::trend(none, QStringLiteral("EV"), kComma, RT::Html)
                              << ResultText::trend(none, QStringLiteral("EV"), kComma, RT::Plain)
                              << QStringLiteral("nincs");
    QTest::newRow("trend forward") << ResultText::trend(1.0 / 3, QStringLiteral("NE"), kComma, RT::Html)
                                   << ResultText::trend(1.0 / 3, QStringLiteral("NE"), kComma, RT::Plain)
                                   << QStringLiteral("0,3333 -&GT; NE");
    QTest::newRow("trend back") << ResultText::trend(-0.5, QStringLiteral("I"), kPoint, RT::Html)
                                << ResultText::trend(-0.5, QStringLiteral("I"), kPoint, RT::Plain)
                                << QStringLiteral("I &LT;- -0.5");
    const std::array<R::TopCell, 3> top{{{7.5, QStringLiteral("NE")}, {4, QStringLiteral("MV")}, {4, QString()}}};
    QTest::newRow("total index") << ResultText::totalIndex(top, kComma, RT::Html)
                                 << ResultText::totalIndex(top, kComma, RT::Plain)
                                 << QStringLiteral("NE(7,5) &GT; MV(4) = (4)");
}

void ProtocolTest::resultTexts() {
    QFETCH(QString, html);
    QFETCH(QString, plain);
    QFETCH(QString, expected);
    QCOMPARE(html, expected);
    QString decoded = expected;
    decoded.replace(QStringLiteral("&#60;"), QStringLiteral("<")).replace(QStringLiteral("&#62;"), QStringLiteral(">"));
    decoded.replace(QStringLiteral("&LT;"), QStringLiteral("<")).replace(QStringLiteral("&GT;"), QStringLiteral(">"));
    QCOMPARE(plain, decoded);
}

void ProtocolTest::trendCellJoining_data() {
    // Each place's ratio (none, 0.5 or -1) and the cell, {p} standing for the text of place p.
    QTest::addColumn<QList<double>>("ratios");
    QTest::addColumn<QString>("cell");
    const double none = qQNaN();
    QTest::newRow("all none") << QList<double>{none, none, none} << QStringLiteral("nincs");
    QTest::newRow("third alone") << QList<double>{none, none, -1} << QStringLiteral("{3}");
    QTest::newRow("first and third") << QList<double>{0.5, none, -1} << QStringLiteral("{1}<BR>{3}");
    QTest::newRow("all three") << QList<double>{0.5, 0.5, -1} << QStringLiteral("{1}<BR>{2}<BR>{3}");
}

void ProtocolTest::trendCellJoining() {
    QFETCH(QList<double>, ratios);
    QFETCH(QString, cell);
    const Coding grid;
    R r;
    // Each superego row k takes trend row k; check them all with the same ratios.
    for (auto& row : r.trendRatio) {
        for (size_t place = 0; place < 3; ++place)
            row[place] = qIsNaN(ratios.at(place)) ? std::nullopt : std::optional<double>(ratios.at(place));
    }
    const QStringList lines = ProtocolWriter::protocolLines(subject(), grid, r, kComma);
    for (int k = 1; k <= 5; ++k) {
        QString expectedCell = cell;
        for (int place = 1; place <= 3; ++place) {
            const QString label = Evaluation::trendLabel(k, place);
            const QString text =
                ratios.at(place - 1) > 0 ? QStringLiteral("0,5 -&GT; ") + label : label + QStringLiteral(" &LT;- -1");
            expectedCell.replace(QStringLiteral("{%1}").arg(place), text);
        }
        const QString line = lines.at(kFirstTrendCell - 1 + 2 * (k - 1));
        const QString expectedEnd = QStringLiteral("<TD><A HREF=\"irodalom/tend_%1.html\">").arg(k) + expectedCell +
                                    QStringLiteral("</A></TD></TR>");
        QVERIFY2(line.endsWith(expectedEnd), qPrintable(line));
    }
}

void ProtocolTest::rauchfleischWithoutValue() {
    // E 8 (EV 4, EE 2, KE 2), I 0, M 4: only index a lacks its divisor.
    const Coding grid(GcrKey(),
                      linesFrom(QStringList()
                                << repeated(QStringLiteral("EV"), 4) << repeated(QStringLiteral("MV"), 4)
                                << repeated(QStringLiteral(",,KE"), 2) << repeated(QStringLiteral(",EE"), 2)));
    const R r = evaluate(grid, 12, kComma);
    const QStringList lines = ProtocolWriter::protocolLines(subject(), grid, r, kComma);
    const char* const values[5] = {"nincs ért.", "2", "4", "3", "0"};
    for (int i = 0; i < 5; ++i) {
        const QString expected =
            QStringLiteral("<TD> = %1</TD><TD><A HREF=\"irodalom/rau_%2.html\">értelmezés</A></TD></TR>")
                .arg(QString::fromUtf8(values[i]))
                .arg(QLatin1Char(static_cast<char>('a' + i)));
        QCOMPARE(lines.at(kFirstRauchValue - 1 + 2 * i), expected);
    }
}

void ProtocolTest::pointSeparator() {
    const QStringList lines = workedExampleLines(kPoint);
    QCOMPARE(lines.size(), 260);
    QVERIFY(lines.contains(QStringLiteral("<TD>7.5</TD>")));
    QVERIFY(!lines.contains(QStringLiteral("<TD>7,5</TD>")));
    QVERIFY(lines.contains(
        QStringLiteral("<TD> = 2.5556</TD><TD><A HREF=\"irodalom/rau_a.html\">értelmezés</A></TD></TR>")));
    QVERIFY(lines.at(257).contains(QStringLiteral("NE(7.5) &GT; MV(4) = KE(4)&nbsp;")));
    QVERIFY(lines.at(kFirstTrendCell + 1).contains(QStringLiteral(">0.3333 -&GT; NE</A>")));
    // The point column keeps its own "0.5" whatever the separator.
    QVERIFY(workedExampleLines(kComma).contains(QStringLiteral("<TD>0.5</TD>")));
}

void ProtocolTest::twoRunsGiveIdenticalFiles() {
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("ABC.html"));
    const QString second = dir.filePath(QStringLiteral("ABC2.html"));
    const Coding grid = workedExampleCoding();
    const R r = evaluate(grid, 9, kComma);
    // A different examination written first must leave nothing behind.
    const Coding other(workedExampleKey(), linesFrom(repeated(QStringLiteral("EV,NE"), 24)));
    ProtocolWriter::writeProtocol(first, subject(), other, evaluate(other, 13, kComma), kComma);
    ProtocolWriter::writeProtocol(first, subject(), grid, r, kComma);
    ProtocolWriter::writeProtocol(second, subject(), grid, r, kComma);
    const QByteArray a = readFileBytes(first);
    QCOMPARE(a.size() > 0, true);
    QCOMPARE(a, readFileBytes(second));
    QCOMPARE(a, ProtocolWriter::protocolBytes(subject(), grid, r, kComma));
}

void ProtocolTest::missingFolderIsReportedAndNothingWritten() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("nincs/ABC.html"));
    const Coding grid = workedExampleCoding();
    const R r = evaluate(grid, 9, kComma);
    try {
        ProtocolWriter::writeProtocol(path, subject(), grid, r, kComma);
        QFAIL("writing into a missing folder succeeded");
    } catch (const UserError& e) {
        QCOMPARE(e.text(), QStringLiteral("Cannot create file ") + QDir::toNativeSeparators(path) +
                               QStringLiteral("\nNincs ilyen fájl vagy mappa."));
    }
    QVERIFY(!QFileInfo::exists(path));
}

QTEST_GUILESS_MAIN(ProtocolTest)
#include "tst_protocol.moc"
