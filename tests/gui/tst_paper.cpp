#include "PdfTools.h"
#include "formats/PasswordStore.h"
#include "gui/ModalWatch.h"
#include "gui/ProgramFixture.h"
#include "gui/paper/PaperCommands.h"
#include "gui/paper/TJegyzokonyv.h"
#include "gui/paper/TProfil.h"
#include "gui/shell/TKevesValasz.h"
#include "model/Evaluate.h"
#include "render/ProtocolWriter.h"
#include "render/ResultText.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPdfWriter>
#include <QPushButton>
#include <QTextBlock>
#include <QTextBrowser>
#include <QtTest>

namespace {

// Stands in for the system's print dialog: "prints" into a PDF document the test can read.
class RecordingPrintDialog : public PrintDialog {
public:
    bool print(const QString& documentName, const std::function<void(QPagedPaintDevice&)>& paint) override {
        ++calls;
        name = documentName;
        if (!accept)
            return false;
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(300);
        paint(writer);
        return true;
    }

    bool accept = true;
    int calls = 0;
    QString name;
    QByteArray pdf;
};

void prepareRoot(TestRoot& root) {
    root.put(QStringLiteral("gy_vkt/magyar.gcr"), TestRoot::sampleKey());
    root.put(QStringLiteral("gy_vkt/standard.dat"), PasswordStore::defaultStoreBytes());
}

ScoringLine codes(const char* od, const char* ed = "", const char* np = "") {
    ScoringLine l;
    l.field(1) = QString::fromLatin1(od);
    l.field(2) = QString::fromLatin1(ed);
    l.field(3) = QString::fromLatin1(np);
    return l;
}

void markPictures(ExamSession& session, int count) {
    for (int n = 1; n <= count; ++n)
        session.grid().setScoringLine(n, n % 3 ? codes("", "NE") : codes("EV", "", "KI"));
}

// What one menu item showed: the too-few dialog's text (empty when it did not come) and the
// messages, the platform's record cleared after.
struct Shown {
    QString tooFew;
    QStringList messages;
    bool operator==(const Shown& o) const { return tooFew == o.tooFew && messages == o.messages; }
};

Shown run(ProgramFixture& p, const char* item) {
    Shown shown;
    ModalWatch watch(p.forms.kevesValasz(), [&]() {
        shown.tooFew = p.child<QLabel>(p.forms.kevesValasz(), "Label1")->text();
        p.child<QPushButton>(p.forms.kevesValasz(), "OKBtn")->click();
    });
    p.trigger(item);
    shown.messages = p.platform.messages;
    p.platform.messages.clear();
    return shown;
}

} // namespace

class TestPaper : public QObject {
    Q_OBJECT
private slots:
    void itemsWaitForThePassword();
    void itemsRefuseAsTheProtocol_data();
    void itemsRefuseAsTheProtocol();
    void protocolWritesTheChartBeside();
    void chartThatCannotBeWrittenIsReported();
    void printGoesThroughTheDialog();
    void pdfSavedWhereChosen();
    void pdfThatCannotBeWrittenIsReported();
    void profileWindowFollowsTheExamination();
    void protocolWindowWithoutABrowser();
};

void TestPaper::itemsWaitForThePassword() {
    TestRoot root;
    prepareRoot(root);
    ProgramFixture p(root);
    const char* const items[] = {"Profil1", "Nyomtats1", "JegyzknyvPDFbe1"};
    for (const char* item : items)
        QVERIFY2(!p.action(item)->isEnabled(), item);
    QCOMPARE(p.action("Nyomtats1")->shortcut(), QKeySequence(QKeySequence::Print));
    p.unlock();
    for (const char* item : items)
        QVERIFY2(p.action(item)->isEnabled(), item);
}

void TestPaper::itemsRefuseAsTheProtocol_data() {
    QTest::addColumn<QByteArray>("item");
    QTest::addColumn<bool>("tooFew"); // else an age outside the norms
    for (const char* item : {"Profil1", "Nyomtats1", "JegyzknyvPDFbe1"}) {
        QTest::addRow("%s, 17 marked", item) << QByteArray(item) << true;
        QTest::addRow("%s, age 15", item) << QByteArray(item) << false;
    }
}

void TestPaper::itemsRefuseAsTheProtocol() {
    QFETCH(QByteArray, item);
    QFETCH(bool, tooFew);
    TestRoot root;
    prepareRoot(root);
    ProgramFixture p(root);
    RecordingPrintDialog printer;
    p.program->paper().setPrintDialog(&printer);
    p.unlock();
    p.session.setCode(QStringLiteral("KOR"));
    markPictures(p.session, tooFew ? 17 : 20);
    if (!tooFew)
        p.session.setAge(15);

    const Shown protocol = run(p, "Kszjegyzknyv1");
    if (tooFew) {
        QCOMPARE(protocol.tooFew, QStringLiteral("Kevés a lejelölt válasz, mindössze 17."));
        QVERIFY(protocol.messages.isEmpty());
    } else {
        QVERIFY(protocol.tooFew.isEmpty());
        QCOMPARE(protocol.messages, QStringList{QStringLiteral("Az életkor (15) kívül esik a 7–14 éves "
                                                               "normatartományon; a jegyzőkönyv nem készíthető el.")});
    }

    QVERIFY(run(p, item.constData()) == protocol);
    // Refused before anything else: no dialog, no printing, no file, no window.
    QVERIFY(p.platform.dialogs.isEmpty());
    QCOMPARE(printer.calls, 0);
    QVERIFY(QDir(root.root().htmlFolder()).entryList(QDir::Files).isEmpty());
    QVERIFY(p.platform.openedDocuments.isEmpty());
    QVERIFY(!p.forms.profil()->isVisible());
}

void TestPaper::protocolWritesTheChartBeside() {
    TestRoot root;
    prepareRoot(root);
    ProgramFixture p(root);
    p.unlock();
    p.session.setCode(QStringLiteral("ABRA"));
    p.session.setAge(11);
    markPictures(p.session, 19);
    p.trigger("Kszjegyzknyv1");
    QVERIFY2(p.platform.messages.isEmpty(), qPrintable(p.platform.messages.join(QLatin1Char('|'))));
    const QString html = root.root().protocolFile(QStringLiteral("ABRA"));
    QCOMPARE(p.platform.openedDocuments, QStringList{html});
    // The page itself is the protocol as ever.
    const QChar sep = p.session.decimalSeparator();
    QCOMPARE(readFileBytes(html), ProtocolWriter::protocolBytes(p.session.personal(), p.session.coding(),
                                                                evaluate(p.session.coding(), 11, sep), sep));
    const QString png = root.root().htmlFolder() + QStringLiteral("/ABRA_profil.png");
    QImage image;
    QVERIFY(image.loadFromData(readFileBytes(png), "PNG"));
    QVERIFY(image.width() > image.height() && image.width() >= 800);
    QCOMPARE(QDir(root.root().htmlFolder()).entryList(QDir::Files),
             (QStringList{QStringLiteral("ABRA.html"), QStringLiteral("ABRA_profil.png")}));
}

void TestPaper::chartThatCannotBeWrittenIsReported() {
    TestRoot root;
    prepareRoot(root);
    // A folder where the picture should go: no file can take its name.
    const QString png = root.root().profileChartFile(QStringLiteral("ABRA"));
    QVERIFY(QDir().mkpath(png));
    ProgramFixture p(root);
    p.unlock();
    p.session.setCode(QStringLiteral("ABRA"));
    markPictures(p.session, 18);
    p.trigger("Kszjegyzknyv1");
    QCOMPARE(p.platform.messages, QStringList{UserError::cannotCreate(png, EISDIR).text()});
    // The protocol was written before and is still handed to the examiner.
    const QString html = root.root().protocolFile(QStringLiteral("ABRA"));
    QCOMPARE(readFileBytes(html).count("\r\n"), 260);
    QCOMPARE(p.platform.openedDocuments, QStringList{html});
    QVERIFY(QFileInfo(png).isDir());
}

void TestPaper::printGoesThroughTheDialog() {
    TestRoot root;
    prepareRoot(root);
    ProgramFixture p(root);
    RecordingPrintDialog printer;
    p.program->paper().setPrintDialog(&printer);
    p.unlock();
    p.session.setCode(QStringLiteral("NYOMT"));
    p.session.setName(QStringLiteral("Nyomtatott Ödön"));
    markPictures(p.session, 18);

    printer.accept = false;
    p.trigger("Nyomtats1");
    QCOMPARE(printer.calls, 1);
    QVERIFY(printer.pdf.isEmpty());
    QVERIFY(p.platform.messages.isEmpty());

    printer.accept = true;
    p.trigger("Nyomtats1");
    QCOMPARE(printer.calls, 2);
    QVERIFY(printer.name.contains(QStringLiteral("NYOMT")));
    QVERIFY(p.platform.messages.isEmpty());
    QCOMPARE(PdfTools::pageCount(printer.pdf), 2);
    const QString text = PdfTools::text(printer.pdf);
    QVERIFY(text.contains(QStringLiteral("Nyomtatott Ödön")));
    QVERIFY(text.contains(QStringLiteral("Profil: NYOMT")));
    // Printing writes no file.
    QVERIFY(QDir(root.root().htmlFolder()).entryList(QDir::Files).isEmpty());
}

void TestPaper::pdfSavedWhereChosen() {
    TestRoot root;
    prepareRoot(root);
    ProgramFixture p(root);
    p.unlock();
    p.session.setCode(QStringLiteral("MENT"));
    markPictures(p.session, 20);

    // Cancelled: nothing written, nothing said.
    p.trigger("JegyzknyvPDFbe1");
    QCOMPARE(p.platform.dialogs.size(), 1);
    const ScriptedPlatform::DialogCall call = p.platform.dialogs.first();
    QVERIFY(call.save);
    QCOMPARE(call.dialog.initialFolder, root.root().htmlFolder());
    QCOMPARE(call.dialog.fileName, QStringLiteral("MENT.pdf"));
    QCOMPARE(call.dialog.defaultSuffix, QStringLiteral("pdf"));
    QVERIFY(call.dialog.overwritePrompt);
    QVERIFY(call.dialog.filter.startsWith(QStringLiteral("PDF dokumentum|*.pdf")));
    QVERIFY(QDir(root.root().htmlFolder()).entryList(QDir::Files).isEmpty());
    QVERIFY(p.platform.messages.isEmpty());

    const QString path = root.path() + QStringLiteral("/másik mappa/MENT.pdf");
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    root.put(QStringLiteral("másik mappa/MENT.pdf"), "earlier");
    p.platform.setNextFileName(path);
    p.trigger("JegyzknyvPDFbe1");
    QCOMPARE(p.platform.messages,
             QStringList{QStringLiteral("A jegyzőkönyv PDF-ben elkészült:\n") + QDir::toNativeSeparators(path)});
    const QByteArray pdf = readFileBytes(path);
    QCOMPARE(PdfTools::pageCount(pdf), 2);
    const QString text = PdfTools::text(pdf);
    const EvaluationResult r = p.session.evaluate();
    QVERIFY(
        text.contains(QStringLiteral("GCR százalék: %1 (%2)").arg(r.gcrPercent).arg(ResultText::gcrClass(r.gcrClass))));
    QVERIFY(text.contains(QStringLiteral("A vsz kódja: MENT")));
    QVERIFY(p.platform.openedDocuments.isEmpty());
}

void TestPaper::pdfThatCannotBeWrittenIsReported() {
    TestRoot root;
    prepareRoot(root);
    ProgramFixture p(root);
    p.unlock();
    markPictures(p.session, 20);
    const QString path = root.path() + QStringLiteral("/nincs ilyen/X.pdf");
    p.platform.setNextFileName(path);
    p.trigger("JegyzknyvPDFbe1");
    QCOMPARE(p.platform.messages, QStringList{QStringLiteral("Cannot create file ") + path +
                                              QStringLiteral("\nNincs ilyen fájl vagy mappa.")});
    QVERIFY(!QFileInfo::exists(path));
}

void TestPaper::profileWindowFollowsTheExamination() {
    TestRoot root;
    prepareRoot(root);
    ProgramFixture p(root);
    p.unlock();
    p.session.setCode(QStringLiteral("LATO"));
    markPictures(p.session, 18);
    TProfil* window = p.forms.profil();
    QCOMPARE(window->objectName(), QStringLiteral("TProfil"));
    QVERIFY(!window->isVisible());
    p.trigger("Profil1");
    QVERIFY(p.platform.messages.isEmpty());
    QVERIFY(window->isVisible());
    auto* chart = p.child<ProfileChartView>(window, "Chart");
    QVERIFY(chart->notice().isEmpty());
    QVERIFY(!window->grab().isNull());

    // The chart is drawn from the examination as it stands: a mark taken away leaves too few.
    p.session.grid().setScoringLine(18, ScoringLine());
    QCOMPARE(chart->notice(),
             QStringLiteral("Kevés a lejelölt válasz, mindössze 17. Legalább 18 lejelölt válasz szükséges!"));
    p.session.grid().setScoringLine(18, codes("EV"));
    QVERIFY(chart->notice().isEmpty());
    p.session.setAge(15);
    QVERIFY(chart->notice().contains(QStringLiteral("(15)")));
    QVERIFY(!window->grab().isNull());
    p.session.setAge(10);
    QVERIFY(chart->notice().isEmpty());

    // Asking again while it is up keeps the one window.
    p.trigger("Profil1");
    QVERIFY(window->isVisible());
    QCOMPARE(p.forms.fomenu->findChildren<TProfil*>().size(), 1);
}

namespace {

// The sizes of the pictures the page shows, as the view has loaded them.
QList<QSize> shownPictures(QTextDocument* document) {
    QList<QSize> sizes;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextImageFormat image = it.fragment().charFormat().toImageFormat();
            if (image.isValid())
                sizes << document->resource(QTextDocument::ImageResource, QUrl(image.name())).value<QImage>().size();
        }
    }
    return sizes;
}

} // namespace

// Catches a protocol window that writes the examination in hand instead of the protocol it
// shows, one without the profile chart, and a second window. (Without a browser the window
// comes up: the desktop suite's.)
void TestPaper::protocolWindowWithoutABrowser() {
    TestRoot root;
    prepareRoot(root);
    ExaminationData other;
    other.personal.name = QStringLiteral("Archív Aladár");
    other.personal.age = 12;
    for (int n = 1; n <= 20; ++n)
        other.lines[n - 1] = codes("EV");
    root.put(QStringLiteral("gy_vkt/archivum/MASIK.kvx"), ExaminationFile::serialize(other));
    ProgramFixture p(root);
    p.unlock();
    p.session.setName(QStringLiteral("Lapos Lili"));
    markPictures(p.session, 19);
    p.platform.setOpenDocumentFails(true);
    for (int twice = 0; twice < 2; ++twice)
        p.program->commands().showProtocolOf(root.root().archiveFolder() + QStringLiteral("/MASIK.kvx"));

    TJegyzokonyv* window = p.forms.jegyzokonyv();
    QVERIFY(window->isVisible());
    QCOMPARE(p.forms.fomenu->findChildren<TJegyzokonyv*>().size(), 1);
    QCOMPARE(window->windowTitle(), QStringLiteral("Jegyzőkönyv – MASIK"));
    const QImage chart(root.root().profileChartFile(QStringLiteral("MASIK")));
    QVERIFY(shownPictures(p.child<QTextBrowser>(window, "Lap")->document()).contains(chart.size()));
    const QString pdf = root.path() + QStringLiteral("/MASIK.pdf");
    p.platform.setNextFileName(pdf);
    p.child<QPushButton>(window, "PdfBe")->click();
    QCOMPARE(p.platform.dialogs.last().dialog.fileName, QStringLiteral("MASIK.pdf"));
    const QString text = PdfTools::text(readFileBytes(pdf));
    QVERIFY(text.contains(QStringLiteral("Archív Aladár")) && !text.contains(QStringLiteral("Lapos Lili")));
}

QTEST_MAIN(TestPaper)
#include "tst_paper.moc"
