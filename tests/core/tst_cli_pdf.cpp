#include "CliRun.h"
#include "PdfTools.h"
#include "TestRoot.h"
#include "formats/ExaminationFile.h"
#include "tst_evaluate_example.h"

#include <QRegularExpression>
#include <QtTest>

namespace {

QString squeezed(QString text) {
    static const QRegularExpression space(QStringLiteral("\\s+"));
    return text.remove(space);
}

} // namespace

// gyvkt-cli protocol --pdf: the PDF protocol under the rules of the HTML one.
class CliPdfTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void pdfOfOneExamination();
    void runsWithoutAnyDisplay();
    void severalExaminationsIntoFolder();
    void refusedExaminationLeavesExistingFile();
    void htmlStaysTheDefault();

private:
    std::unique_ptr<TestRoot> m_root;
    QString m_key;
    QString m_exam;
    QString file(const QString& name) const { return m_root->path() + QLatin1Char('/') + name; }
};

void CliPdfTest::init() {
    m_root = std::make_unique<TestRoot>();
    m_root->put(QStringLiteral("key.gcr"), EvalFixture::workedExampleKeyBytes());
    m_key = file(QStringLiteral("key.gcr"));
    m_exam = file(QStringLiteral("abc.kvx"));
    ExaminationFile::write(m_exam,
                           EvalFixture::examination(EvalFixture::workedExample(), 9, QStringLiteral("Dr. Őrsi Ürmös")));
}

void CliPdfTest::pdfOfOneExamination() {
    const QString out = file(QStringLiteral("page.pdf"));
    const CliRun r =
        runCli({QStringLiteral("protocol"), m_exam, QStringLiteral("--gcr"), m_key, QStringLiteral("--pdf"),
                QStringLiteral("--decimal"), QStringLiteral(","), QStringLiteral("-o"), out});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out, (out + QLatin1Char('\n')).toUtf8());
    QVERIFY2(r.err.isEmpty(), r.err.constData());
    const QByteArray pdf = readFileBytes(out);
    QVERIFY(pdf.startsWith("%PDF-"));
    if (const char* why = PdfTools::unreadableHere())
        QSKIP(why);
    QCOMPARE(PdfTools::pageCount(pdf), 2);
    const QString text = PdfTools::text(pdf);
    // The worked example's values, computed by hand in the evaluation tests.
    QVERIFY(text.contains(QStringLiteral("Kis & <Péter>")));
    QVERIFY(text.contains(QStringLiteral("Dr. Őrsi Ürmös")));
    QVERIFY(text.contains(QStringLiteral("A vsz kódja: ABC")));
    QVERIFY(text.contains(QStringLiteral("GCR százalék: 43 (normál)")));
    const QString flat = squeezed(text);
    QVERIFY(flat.contains(QStringLiteral("Totálismutató:NE(7,5)>MV(4)=KE(4)")));
    // E-D row "%": 50; superego percentages 7 0 7 27 7 27; row M 28 %.
    QVERIFY(flat.contains(QStringLiteral("1.EE1,57%")));
    QVERIFY(flat.contains(QStringLiteral("2.II00%<Q1T")));
    QVERIFY(flat.contains(QStringLiteral("6.M+II627%")));
    QVERIFY(flat.contains(QStringLiteral("28%")));
    QVERIFY(flat.contains(QStringLiteral("Profil:ABC")));
}

void CliPdfTest::runsWithoutAnyDisplay() {
    QTemporaryDir work;
    m_root->put(QStringLiteral("gy_vkt/magyar.gcr"), EvalFixture::workedExampleKeyBytes());
    const CliRun r =
        runCli({QStringLiteral("protocol"), m_exam, QStringLiteral("--pdf")}, work.path(),
               {QStringLiteral("TAVRIX_ROOT=") + m_root->path(), QStringLiteral("QT_QPA_PLATFORM="),
                QStringLiteral("DISPLAY="), QStringLiteral("WAYLAND_DISPLAY="), QStringLiteral("LC_ALL=C.UTF-8")});
    QCOMPARE(r.status, 0);
    QVERIFY2(r.err.isEmpty(), r.err.constData());
    const QByteArray pdf = readFileBytes(work.filePath(QStringLiteral("ABC.pdf")));
    QVERIFY(pdf.startsWith("%PDF-"));
    QVERIFY(!QFileInfo::exists(work.filePath(QStringLiteral("ABC.html"))));
    if (const char* why = PdfTools::unreadableHere())
        QSKIP(why);
    QCOMPARE(PdfTools::pageCount(pdf), 2);
    QVERIFY(squeezed(PdfTools::text(pdf)).contains(QStringLiteral("Totálismutató:NE(7.5)>MV(4)=KE(4)")));
    QVERIFY(!QFileInfo::exists(work.filePath(QStringLiteral("ABC.html"))));
}

void CliPdfTest::severalExaminationsIntoFolder() {
    const QString second = file(QStringLiteral("def.kvx"));
    ExaminationFile::write(
        second, EvalFixture::examination(EvalFixture::linesFrom(EvalFixture::repeated(QStringLiteral("EV"), 20)), 13,
                                         QStringLiteral("Dr. Őrsi Ürmös")));
    const QString tooOld = file(QStringLiteral("old.kvx"));
    ExaminationFile::write(
        tooOld, EvalFixture::examination(EvalFixture::workedExample(), 15, QStringLiteral("Dr. Őrsi Ürmös")));
    const QString folder = file(QStringLiteral("pdfs"));

    const CliRun r = runCli({QStringLiteral("protocol"), m_exam, tooOld, second, QStringLiteral("--pdf"),
                             QStringLiteral("--gcr"), m_key, QStringLiteral("-o"), folder});
    QCOMPARE(r.status, 2);
    QVERIFY(!QFileInfo::exists(folder + QStringLiteral("/OLD.pdf")));
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 2);
    if (const char* why = PdfTools::unreadableHere())
        QSKIP(why);
    QCOMPARE(PdfTools::pageCount(readFileBytes(folder + QStringLiteral("/ABC.pdf"))), 2);
    const QByteArray def = readFileBytes(folder + QStringLiteral("/DEF.pdf"));
    QCOMPARE(PdfTools::pageCount(def), 2);
    QVERIFY(PdfTools::text(def).contains(QStringLiteral("13–14 éves")));
    QVERIFY(QString::fromUtf8(r.err).contains(tooOld + QStringLiteral(": Az életkor (15) kívül esik")));
}

void CliPdfTest::refusedExaminationLeavesExistingFile() {
    const QString exam = file(QStringLiteral("old.kvx"));
    ExaminationFile::write(exam,
                           EvalFixture::examination(EvalFixture::workedExample(), 6, QStringLiteral("Dr. Őrsi Ürmös")));
    const QString out = file(QStringLiteral("OLD.pdf"));
    m_root->put(QStringLiteral("OLD.pdf"), "earlier protocol");
    const CliRun r = runCli({QStringLiteral("protocol"), exam, QStringLiteral("--pdf"), QStringLiteral("--gcr"), m_key,
                             QStringLiteral("-o"), out});
    QCOMPARE(r.status, 2);
    QVERIFY(r.out.isEmpty());
    QCOMPARE(readFileBytes(out), QByteArray("earlier protocol"));
}

void CliPdfTest::htmlStaysTheDefault() {
    QTemporaryDir work;
    const CliRun r = runCli({QStringLiteral("protocol"), m_exam, QStringLiteral("--gcr"), m_key}, work.path());
    QCOMPARE(r.status, 0);
    QVERIFY(QFileInfo::exists(work.filePath(QStringLiteral("ABC.html"))));
    QVERIFY(!QFileInfo::exists(work.filePath(QStringLiteral("ABC.pdf"))));
    // A file named "--pdf" after "--" is an examination, not the option.
    const CliRun named = runCli(
        {QStringLiteral("protocol"), QStringLiteral("--gcr"), m_key, QStringLiteral("--"), QStringLiteral("--pdf")},
        work.path());
    QCOMPARE(named.status, 2);
    QVERIFY(QString::fromUtf8(named.err).startsWith(QStringLiteral("--pdf: ")));
    const CliRun help = runCli({QStringLiteral("protocol"), QStringLiteral("--help")});
    QCOMPARE(help.status, 0);
    QVERIFY(help.out.contains("--pdf"));
}

QTEST_GUILESS_MAIN(CliPdfTest)
#include "tst_cli_pdf.moc"
