#include "PdfTools.h"
#include "TestRoot.h"
#include "base/TextFile.h"
#include "base/UserError.h"
#include "formats/ExaminationFile.h"
#include "model/Coding.h"
#include "model/Evaluate.h"
#include "render/NumberText.h"
#include "render/PaperText.h"
#include "render/ProfileChart.h"
#include "render/ProtocolPages.h"
#include "render/ResultText.h"

#include <QBuffer>
#include <QImage>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QtTest>

namespace {

// A file of the installation's tree as the program reads it: the sources are UTF-8 with LF.
QByteArray programBytes(const QString& relative) {
    const QString path = QStringLiteral(GYVKT_SOURCE_DATA_DIR "/text/gy_vkt/") + relative;
    QString text = QString::fromUtf8(readFileBytes(path));
    text.remove(QLatin1Char('\r'));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n')))
        lines.removeLast();
    return TextFile::encodeLines(lines);
}

// Whitespace differs between PDF readers; the order of what is written does not.
QString squeezed(QString text) {
    static const QRegularExpression space(QStringLiteral("\\s+"));
    return text.remove(space);
}

QString num(double value) {
    return fourDecimalText(value, QLatin1Char(','));
}

QString plain(QuartileClass position) {
    return ResultText::quartileClass(position, ResultText::Form::Plain);
}

} // namespace

class TestProtocolPages : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void sampleOnTwoA4Pages();
    void firstPageHoldsTheProtocol();
    void secondPageHoldsTheChart();
    void fontsAreEmbedded();
    void smallPaperTakesMorePagesChartLast();
    void writingIsAtomic();
    void pngIsTheChart();
    void longNameIsShownCutAndSaidSo();

private:
    ExaminationData m_data;
    Coding m_coding;
    EvaluationResult m_result;
    QByteArray m_pdf;
    QStringList m_pages;
};

void TestProtocolPages::initTestCase() {
    const QString path = QStringLiteral("MINTA.kvx");
    m_data = ExaminationFile::parse(programBytes(QStringLiteral("archivum/MINTA.kvx")), path);
    m_data.personal.code = ExaminationFile::codeFromPath(path);
    m_coding =
        Coding(GcrKey::parse(programBytes(QStringLiteral("magyar.gcr")), QStringLiteral("magyar.gcr")), m_data.lines);
    m_result = evaluate(m_coding, m_data.personal.age, QLatin1Char(','));
    m_pdf = ProtocolPages::pdfBytes(m_data.personal, m_coding, m_result, QLatin1Char(','));
    const QString text = PdfTools::text(m_pdf);
    QVERIFY2(!text.isNull(), "pdftotext (poppler-utils) could not read the document");
    m_pages = text.split(QLatin1Char('\f'));
    if (m_pages.last().trimmed().isEmpty())
        m_pages.removeLast();
}

void TestProtocolPages::sampleOnTwoA4Pages() {
    QVERIFY(m_pdf.startsWith("%PDF-"));
    QCOMPARE(PdfTools::pageCount(m_pdf), 2);
    QCOMPARE(m_pages.size(), 2);
    QVERIFY(PdfTools::info(m_pdf, QStringLiteral("Page size")).contains(QStringLiteral("A4")));
    QVERIFY(PdfTools::info(m_pdf, QStringLiteral("Title")).contains(QStringLiteral("MINTA")));
}

void TestProtocolPages::firstPageHoldsTheProtocol() {
    const QString page = m_pages.value(0);
    const QString flat = squeezed(page);
    const PersonalData& pd = m_data.personal;
    QCOMPARE(pd.name, QStringLiteral("Minta Péter"));
    for (const QString& expected : {pd.name, pd.code, pd.date, pd.examiner})
        QVERIFY2(page.contains(expected), qPrintable(expected));
    QVERIFY(page.contains(QStringLiteral("életkora: 9")));
    QVERIFY(page.contains(QStringLiteral("neme: fiú")));

    // The marking table: every picture with its codes, its key and its point, in order.
    qsizetype from = 0;
    for (int p = 1; p <= 24; ++p) {
        const ScoringLine& line = m_coding.line(p);
        const QString row = QString::number(p) + QLatin1Char('.') + line.field(1) + line.field(2) + line.field(3) +
                            m_coding.key().pair(p).displayText() + m_coding.pointText(p);
        const qsizetype at = flat.indexOf(squeezed(row), from);
        QVERIFY2(at >= 0, qPrintable(row));
        from = at;
    }

    const EvaluationResult& r = m_result;
    static const char* const directions[3] = {"E", "I", "M"};
    for (size_t d = 0; d < 3; ++d) {
        const QString row = QLatin1String(directions[d]) + num(r.cellScore[d][0]) + num(r.cellScore[d][1]) +
                            num(r.cellScore[d][2]) + num(r.rowTotal[d]) + num(r.rowPercent[d]) + plain(r.rowClass[d]);
        QVERIFY2(flat.contains(row), qPrintable(row));
    }
    QVERIFY(
        flat.contains(QStringLiteral("Össz.") + num(r.columnTotal[0]) + num(r.columnTotal[1]) + num(r.columnTotal[2])));
    QVERIFY(flat.contains(QStringLiteral("%") + num(r.columnPercent[0]) + num(r.columnPercent[1]) +
                          num(r.columnPercent[2])));
    QVERIFY(flat.contains(QStringLiteral("T") + plain(r.columnClass[0]) + plain(r.columnClass[1]) +
                          plain(r.columnClass[2])));

    const QStringList formulas{QStringLiteral("EE"),      QStringLiteral("II"),      QStringLiteral("EE+II"),
                               QStringLiteral("EE-D−EE"), QStringLiteral("IE-D−II"), QStringLiteral("M+II")};
    for (size_t k = 0; k < 6; ++k) {
        const QString row = QString::number(k + 1) + QLatin1Char('.') + formulas.at(static_cast<int>(k)) +
                            num(r.superegoScore[k]) + num(r.superegoPercent[k]) + QLatin1Char('%') +
                            plain(r.superegoClass[k]) + QLatin1Char('T');
        QVERIFY2(flat.contains(row), qPrintable(row));
    }
    for (char index = 'a'; index <= 'e'; ++index) {
        const std::optional<double> value = rauchfleischIndex(r, index);
        const QString shown = value ? num(*value) : QStringLiteral("nincsért.");
        const QRegularExpression row(QLatin1Char(index) + QStringLiteral("=[^=]*?") +
                                     QRegularExpression::escape(shown));
        QVERIFY2(flat.contains(row), qPrintable(QString(QLatin1Char(index)) + shown));
    }
    QVERIFY(flat.contains(squeezed(QStringLiteral("Totális mutató: ") +
                                   ResultText::totalIndex(r.topCell, QLatin1Char(','), ResultText::Form::Plain))));
    QVERIFY(
        page.contains(QStringLiteral("GCR százalék: %1 (%2)").arg(r.gcrPercent).arg(ResultText::gcrClass(r.gcrClass))));
    // Entities are for the HTML page only.
    QVERIFY(!page.contains(QLatin1Char('&')));
    QVERIFY(page.contains(QStringLiteral("1. oldal / 2")));
}

void TestProtocolPages::secondPageHoldsTheChart() {
    const QString page = m_pages.value(1);
    QVERIFY(page.contains(QStringLiteral("Profil: MINTA")));
    QVERIFY(page.contains(QStringLiteral("9–10 éves")));
    const QString flat = squeezed(page);
    const ProfileChart chart(m_data.personal, m_result, QLatin1Char(','));
    for (const ProfileChart::Measure& m : chart.measures()) {
        const QString shown = squeezed(m.label.plain().remove(QLatin1Char('(')).remove(QLatin1Char(')')));
        QVERIFY2(flat.contains(shown), qPrintable(shown));
        QVERIFY2(flat.contains(squeezed(m.valueText + m.positionText)), qPrintable(m.valueText));
    }
    QVERIFY(page.contains(QStringLiteral("2. oldal / 2")));
    QVERIFY(!page.contains(QStringLiteral("JELÖLÉS")));
}

void TestProtocolPages::fontsAreEmbedded() {
    const QStringList fonts = PdfTools::fonts(m_pdf);
    QVERIFY(!fonts.isEmpty());
    for (const QString& font : fonts)
        QVERIFY2(font.endsWith(QStringLiteral(" yes")), qPrintable(font));
}

void TestProtocolPages::smallPaperTakesMorePagesChartLast() {
    QByteArray bytes;
    int painted = 0;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A6));
        writer.setResolution(300);
        painted = ProtocolPages::paint(writer, m_data.personal, m_coding, m_result, QLatin1Char(','));
    }
    QVERIFY(painted > 2);
    QCOMPARE(PdfTools::pageCount(bytes), painted);
    QStringList pages = PdfTools::text(bytes).split(QLatin1Char('\f'));
    if (pages.last().trimmed().isEmpty())
        pages.removeLast();
    QCOMPARE(pages.size(), painted);
    QVERIFY(pages.last().contains(QStringLiteral("Profil: MINTA")));
    QVERIFY(squeezed(pages.first()).contains(QStringLiteral("1.oldal/%1").arg(painted)));
    for (int i = 0; i < painted - 1; ++i)
        QVERIFY(!pages.at(i).contains(QStringLiteral("Profil: MINTA")));
    // A heading stays whole in its column however narrow the paper squeezes the table.
    QVERIFY(pages.join(QString()).contains(QStringLiteral("TENDENCIÁK")));
    // Nothing of the content is lost between the pages.
    QVERIFY(squeezed(pages.join(QString()))
                .contains(squeezed(QStringLiteral("GCR százalék: %1").arg(m_result.gcrPercent))));
}

void TestProtocolPages::writingIsAtomic() {
    TestRoot root;
    const QString path = root.path() + QStringLiteral("/MINTA.pdf");
    root.put(QStringLiteral("MINTA.pdf"), "earlier");
    ProtocolPages::writePdf(path, m_data.personal, m_coding, m_result, QLatin1Char(','));
    const QByteArray written = readFileBytes(path);
    QVERIFY(written.startsWith("%PDF-"));
    QCOMPARE(PdfTools::pageCount(written), 2);

    // An age without norms stops before anything is written.
    PersonalData old = m_data.personal;
    old.age = 15;
    try {
        ProtocolPages::writePdf(path, old, m_coding, m_result, QLatin1Char(','));
        QFAIL("no error");
    } catch (const UserError& e) {
        QVERIFY(e.text().contains(QStringLiteral("(15)")));
    }
    QCOMPARE(readFileBytes(path), written);

    const QString nowhere = root.path() + QStringLiteral("/missing/MINTA.pdf");
    try {
        ProtocolPages::writePdf(nowhere, m_data.personal, m_coding, m_result, QLatin1Char(','));
        QFAIL("no error");
    } catch (const UserError& e) {
        QCOMPARE(e.text(),
                 QStringLiteral("Cannot create file ") + nowhere + QStringLiteral("\nNincs ilyen fájl vagy mappa."));
    }
    QVERIFY(!QFileInfo::exists(nowhere));
}

void TestProtocolPages::pngIsTheChart() {
    const ProfileChart chart(m_data.personal, m_result, QLatin1Char(','));
    QImage image;
    QVERIFY(image.loadFromData(chart.pngBytes(1100, 860), "PNG"));
    QCOMPARE(image.size(), QSize(1100, 860));
    // Each point is painted where the geometry puts it, in its position's colour.
    const ProfileChart::Geometry g = chart.geometry(QRectF(0, 0, 1100, 860));
    for (size_t i = 0; i < g.rows.size(); ++i) {
        const QPoint at = g.rows[i].point.toPoint();
        const QColor pixel = image.pixelColor(at);
        const QColor expected = ProfileChart::colourOf(chart.measures()[i].position);
        const int distance = qAbs(pixel.red() - expected.red()) + qAbs(pixel.green() - expected.green()) +
                             qAbs(pixel.blue() - expected.blue());
        QVERIFY2(distance < 40,
                 qPrintable(QStringLiteral("row %1: %2 instead of %3").arg(i).arg(pixel.name(), expected.name())));
    }
}

void TestProtocolPages::longNameIsShownCutAndSaidSo() {
    // One word of 64 Ki characters: laid out whole it would wrap over page after page.
    PersonalData pd = m_data.personal;
    pd.name = QString(64 * 1024, QLatin1Char('K'));
    const QByteArray pdf = ProtocolPages::pdfBytes(pd, m_coding, m_result, QLatin1Char(','));
    QCOMPARE(PdfTools::pageCount(pdf), 2);
    QVERIFY(squeezed(PdfTools::text(pdf))
                .contains(
                    squeezed(QStringLiteral("(további %1 karakter a fájlban)").arg(64 * 1024 - PaperText::kMaxShown))));
}

QTEST_MAIN(TestProtocolPages)
#include "tst_protocolpages.moc"
