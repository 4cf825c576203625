// The examination in hand stays one consistent thing whichever way it was reached: the points
// and the protocol never depend on which windows happened to be visited, and the personal-data
// window cannot be shown twice or run under another command.
#include "CliRun.h"
#include "formats/ExaminationFile.h"
#include "formats/PasswordStore.h"
#include "gui/ModalWatch.h"
#include "gui/ProgramFixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

ScoringLine codes(const char* od, const char* ed = "", const char* np = "") {
    ScoringLine l;
    l.field(1) = QString::fromLatin1(od);
    l.field(2) = QString::fromLatin1(ed);
    l.field(3) = QString::fromLatin1(np);
    return l;
}

// Under the sample key (1: NE KE, 2: EV, 3: none, then NE / KE NE / none in turn): picture 1 NE
// earns 1, picture 2 EV 1, picture 4 NE with KE 0.5 (key NE), picture 5 KE 1 (key KE NE); the
// other marked pictures earn nothing. 20 pictures are marked, so the protocol can be made.
ExaminationData codedExamination() {
    ExaminationData d;
    d.personal.name = QStringLiteral("Parancs Soros");
    d.personal.age = 9;
    d.personal.date = QStringLiteral("2026.12.07.");
    d.personal.examiner = QStringLiteral("Dr. Kész");
    d.lines[0] = codes("", "NE");
    d.lines[1] = codes("EV");
    d.lines[2] = codes("MV");
    d.lines[3] = codes("", "NE", "KE");
    d.lines[4] = codes("", "", "KE");
    for (int n = 6; n <= 20; ++n)
        d.lines[static_cast<size_t>(n - 1)] = codes("IV");
    d.answers[0] = QStringLiteral("Bocsánat.\r\n");
    return d;
}
const double kPoints = 3.5;
const QString kTotal = QStringLiteral("GCR érték összesen:  3.5");

void prepare(const TestRoot& root) {
    root.put(QStringLiteral("gy_vkt/magyar.gcr"), TestRoot::sampleKey());
    root.put(QStringLiteral("gy_vkt/standard.dat"), PasswordStore::defaultStoreBytes());
    root.put(QStringLiteral("gy_vkt/archivum/PARANCS.kvx"), ExaminationFile::serialize(codedExamination()));
}

QString examinationPath(const TestRoot& root) {
    return root.root().archiveFolder() + QStringLiteral("/PARANCS.kvx");
}

QByteArray protocolOf(const TestRoot& root) {
    return readFileBytes(root.root().protocolFile(QStringLiteral("PARANCS")));
}

double pointTotal(const MarkingGrid& grid) {
    double sum = 0;
    for (int n = 1; n <= kPictureCount; ++n)
        sum += grid.cell(6, n).toDouble();
    return sum;
}

QString totalField(const ProgramFixture& p) {
    return p.child<QLineEdit>(p.forms.jeloles(), "GCRosszesito")->text();
}

} // namespace

class TestSession : public QObject {
    Q_OBJECT

private slots:
    void protocolIsTheSameWhicheverWayTheFileWasOpened();
    void pointsFollowANewExaminationAndAnOpenAtOnce();
    void personalDataWindowIsModalOnEveryPath();
};

void TestSession::protocolIsTheSameWhicheverWayTheFileWasOpened() {
    TestRoot root;
    prepare(root);

    // Handed over on the command line: the file opens during start-up, and the protocol is
    // made without the marking window ever being shown.
    QByteArray fromCommandLine;
    {
        ProgramFixture p(root, {QStringLiteral("_sel=123456;"), examinationPath(root)}, ProgramFixture::Start::Later);
        p.platform.messages.clear(); // the test root has no pictures or instruction
        ModalWatch watch(p.forms.szemAd(), [&p] { p.child<QPushButton>(p.forms.szemAd(), "BitBtn1")->click(); });
        p.program->start();
        QVERIFY(watch.seen);
        QVERIFY(p.forms.fomenu->isUnlocked());
        p.trigger("Kszjegyzknyv1");
        QVERIFY2(p.platform.messages.isEmpty(), qPrintable(p.platform.messages.join(QLatin1Char('|'))));
        fromCommandLine = protocolOf(root);
    }
    QVERIFY(fromCommandLine.contains("<TD><B>GCR sz\xe1zal\xe9k: </B>18 (alacsony) </TD>"));
    QVERIFY(fromCommandLine.contains("\r\n<TD>NE</TD>\r\n<TD></TD>\r\n<TD>NE KE</TD>\r\n<TD>1</TD>\r\n"));
    QFile::remove(root.root().protocolFile(QStringLiteral("PARANCS")));

    // Through "Megnyitás" in a fresh run.
    {
        ProgramFixture p(root);
        p.unlock();
        p.platform.setNextFileName(examinationPath(root));
        p.platform.setNextAnswer(false);
        QVERIFY(p.runConfirmingPersonalData("Betlt1"));
        p.trigger("Kszjegyzknyv1");
        QCOMPARE(protocolOf(root), fromCommandLine);
    }

    // And by the command-line tool.
    const QString cliOut = root.path() + QStringLiteral("/cli.html");
    const CliRun run =
        runCli({QStringLiteral("protocol"), examinationPath(root), QStringLiteral("--gcr"), root.root().gcrKeyFile(),
                QStringLiteral("--decimal"), QStringLiteral(","), QStringLiteral("-o"), cliOut});
    QCOMPARE(run.status, 0);
    QCOMPARE(readFileBytes(cliOut), fromCommandLine);
}

void TestSession::pointsFollowANewExaminationAndAnOpenAtOnce() {
    TestRoot root;
    prepare(root);
    ProgramFixture p(root);
    p.unlock();
    p.session.grid().setScoringLines(codedExamination().lines);
    QCOMPARE(pointTotal(p.session.grid()), kPoints);
    QCOMPARE(totalField(p), kTotal);

    // While the personal data of the new examination is being typed, nothing of the previous
    // child's points is left, in the grid or in the total.
    double pointsDuringNew = -1;
    QString totalDuringNew;
    p.platform.setNextAnswer(false);
    QVERIFY(p.runConfirmingPersonalData("jvizsglat1", [&] {
        pointsDuringNew = pointTotal(p.session.grid());
        totalDuringNew = totalField(p);
    }));
    QCOMPARE(pointsDuringNew, 0.0);
    for (int n = 1; n <= kPictureCount; ++n)
        QCOMPARE(p.session.grid().cell(6, n), QStringLiteral("0.0"));
    QCOMPARE(totalDuringNew, QStringLiteral("GCR érték összesen:  0.0"));

    // The points of an opened file are there while its personal data is shown.
    double pointsDuringOpen = -1;
    QString totalDuringOpen;
    p.platform.setNextFileName(examinationPath(root));
    QVERIFY(p.runConfirmingPersonalData("Betlt1", [&] {
        pointsDuringOpen = pointTotal(p.session.grid());
        totalDuringOpen = totalField(p);
    }));
    QCOMPARE(pointsDuringOpen, kPoints);
    QCOMPARE(totalDuringOpen, kTotal);
    QCOMPARE(p.session.grid().cell(6, 4), QStringLiteral("0.5"));
}

void TestSession::personalDataWindowIsModalOnEveryPath() {
    TestRoot root;
    prepare(root);
    root.put(QStringLiteral("gy_vkt/archivum/ABC.kvx"), ExaminationFile::serialize(codedExamination()));
    ProgramFixture p(root);
    p.unlock();
    p.session.setCode(QStringLiteral("ABC"));
    p.session.setName(QStringLiteral("Marad Név"));
    p.session.grid().setScoringLine(2, codes("EV"));

    bool modal = false;
    bool lampShown = true;
    QString caption;
    ModalWatch watch(p.forms.szemAd(), [&] {
        modal = QApplication::activeModalWidget() == p.forms.szemAd();
        // Every command that would show the window again does nothing while it is up.
        p.platform.setNextFileName(examinationPath(root));
        p.trigger("jvizsglat1");
        p.trigger("Betlt1");
        p.trigger("Szemadatok1");
        lampShown = p.child<QWidget>(p.forms.szemAd(), "Shape1")->isVisible();
        caption = p.forms.szemAd()->windowTitle();
        p.child<QPushButton>(p.forms.szemAd(), "BitBtn1")->click();
    });
    p.trigger("Szemadatok1");
    QVERIFY(watch.seen);
    QVERIFY(modal);
    QVERIFY(p.platform.dialogs.isEmpty());
    QVERIFY(!lampShown);
    QCOMPARE(caption, QStringLiteral("Gyermek VKT személyi adatok"));
    QCOMPARE(p.session.personal().name, QStringLiteral("Marad Név"));
    QCOMPARE(p.session.grid().cell(1, 2), QStringLiteral("EV"));
    QVERIFY(!p.forms.szemAd()->isVisible());
}

QTEST_MAIN(TestSession)
#include "tst_session.moc"
