#include "ScriptedPlatform.h"
#include "TestRoot.h"
#include "base/TextFile.h"
#include "formats/ExaminationFile.h"
#include "formats/LayoutFile.h"
#include "formats/PasswordStore.h"
#include "gui/ModalWatch.h"
#include "gui/ProgramFixture.h"
#include "gui/archive/TArchivum.h"
#include "gui/helptexts/THelpAblak.h"
#include "gui/helptexts/TInfoKeret.h"
#include "gui/helptexts/TPeldatar.h"
#include "gui/helptexts/Tvv_instr.h"
#include "gui/marking/TJelCsere.h"
#include "gui/marking/TJeloles.h"
#include "gui/paper/TJegyzokonyv.h"
#include "gui/paper/TProfil.h"
#include "gui/recording/TKalend.h"
#include "gui/recording/TKepForm.h"
#include "gui/recording/TSzemAd.h"
#include "gui/recording/TVV_lista.h"
#include "gui/recording/Tvalasz.h"
#include "gui/shell/TAboutForm.h"
#include "gui/shell/TKevesValasz.h"
#include "gui/shell/TPwForm.h"
#include "gui/shell/Tfomenu.h"
#include "tst_marking_helpers.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {

QByteArray layoutBytes(int shift) {
    QList<LayoutFile::Geometry> g;
    for (int i = 0; i < 8; ++i)
        g.append({10 * i + shift, 20 + i + shift, 200 + i, 300 + i});
    return TextFile::encodeLines(LayoutFile::serialize(g));
}

void prepareRoot(TestRoot& root) {
    root.put(QStringLiteral("gy_vkt/magyar.gcr"), TestRoot::sampleKey());
    root.put(QStringLiteral("gy_vkt/standard.dat"), PasswordStore::defaultStoreBytes());
    root.put(QStringLiteral("gy_vkt/felvetel.cfg"), layoutBytes(0));
    root.put(QStringLiteral("gy_vkt/jeloles.cfg"), layoutBytes(5));
    root.put(QStringLiteral("gy_vkt/help/instruk.txt"), "Mondd el, mit felelne!\r\n");
    const QByteArray picture = bitmapBytes(Qt::white, 32, 40);
    for (int n = 1; n <= 24; ++n)
        root.put(QStringLiteral("gy_vkt/pictures/%1.bmp").arg(n), picture);
}

ScoringLine codes(const char* od, const char* ed = "", const char* np = "", const char* paren = "") {
    ScoringLine l;
    l.field(1) = QString::fromLatin1(od);
    l.field(2) = QString::fromLatin1(ed);
    l.field(3) = QString::fromLatin1(np);
    l.field(4) = QString::fromLatin1(paren);
    return l;
}

void markPictures(ExamSession& session, int count) {
    for (int n = 1; n <= count; ++n)
        session.grid().setScoringLine(n, codes("", n % 2 ? "NE" : "NINM"));
}

} // namespace

class TestCommands : public QObject {
    Q_OBJECT

private slots:
    void newExaminationResetsEverythingButTheCode();
    void newExaminationStopsAtAnAnswerFileItCannotCreate();
    void openCancelledChangesNothing();
    void openFailingLeavesEverything();
    void arrangementsShowAndHideTheirWindows();
    void arrangementAppliesItsLayoutFile();
    void layoutFileWithoutVegeLeavesItsLastLineUnapplied();
    void extremeLayoutNumbersKeepWindowsWithinReach();
    void missingLayoutFileStopsTheArrangement();
    void layoutSavedForTheCurrentArrangementOnly();
    void tooFewMarkedPictures_data();
    void tooFewMarkedPictures();
    void protocolWrittenAndOpened();
    void protocolRefusedForAnAgeWithoutNorms();
    void closingSavesThePendingAnswer();
    void wholeExaminationFromTheMenus();
    void modalWindowsOpenAboveTheToolWindows();
    void saveQuestionOnlyForUnsavedWork_data();
    void saveQuestionOnlyForUnsavedWork();
    void gridCaptionsStayInViewWhileRowsScroll();
};

void TestCommands::newExaminationResetsEverythingButTheCode() {
    TestRoot root;
    prepareRoot(root);
    root.put(QStringLiteral("gy_vkt/aktualis/1.val"), "el\xf5z\xf5 gyerek v\xe1lasza");
    QFile::remove(root.root().answerFile(17)); // created anew as well
    ProgramFixture p(root);
    p.unlock();
    p.child<QLineEdit>(p.forms.szemAd(), "Edit4")->setText(QStringLiteral("ABC"));
    p.child<QLineEdit>(p.forms.szemAd(), "Edit1")->setText(QStringLiteral("Régi Név"));
    p.child<QRadioButton>(p.forms.szemAd(), "RadioButton2")->setChecked(true);
    p.child<QToolButton>(p.forms.szemAd(), "up")->click();
    p.child<QPushButton>(p.forms.szemAd(), "BitBtn1")->click();
    QCOMPARE(p.session.personal().age, 11);
    QCOMPARE(p.session.personal().sex, PersonalData::Sex::Girl);
    p.session.grid().setScoringLine(4, codes("EV", "", "", "(x)"));
    QCOMPARE(p.answerMemo()->toPlainText(), QStringLiteral("előző gyerek válasza"));

    // The examination in hand was never saved: it is offered for saving first (and left).
    p.platform.setNextAnswer(false);
    QVERIFY(p.runConfirmingPersonalData("jvizsglat1"));
    QCOMPARE(p.platform.questions, QStringList{QStringLiteral("El akarja menteni az aktuális vizsgálatot?")});

    for (int n = 1; n <= 24; ++n) {
        QVERIFY(root.exists(QStringLiteral("gy_vkt/aktualis/%1.val").arg(n)));
        QCOMPARE(readFileBytes(root.root().answerFile(n)), QByteArray());
    }
    QCOMPARE(p.session.grid().scoringLine(4), ScoringLine());
    QCOMPARE(p.session.personal().code, QStringLiteral("ABC"));
    QCOMPARE(p.child<QLineEdit>(p.forms.szemAd(), "Edit4")->text(), QStringLiteral("ABC"));
    QCOMPARE(p.session.personal().name, QString());
    QCOMPARE(p.session.personal().age, 10);
    QCOMPARE(p.child<QLineEdit>(p.forms.szemAd(), "Edit2")->text(), QStringLiteral("10"));
    QCOMPARE(p.session.personal().sex, PersonalData::Sex::Boy);
    QVERIFY(p.child<QRadioButton>(p.forms.szemAd(), "RadioButton1")->isChecked());
    // The previous child's answer is no longer shown, so it cannot be saved into the new one.
    QCOMPARE(p.answerMemo()->toPlainText(), QString());
    QVERIFY(p.platform.messages.isEmpty());
}

void TestCommands::newExaminationStopsAtAnAnswerFileItCannotCreate() {
    TestRoot root;
    prepareRoot(root);
    ProgramFixture p(root);
    p.unlock();
    p.session.grid().setScoringLine(2, codes("EV"));
    QDir(root.root().workingFolder()).removeRecursively();
    p.platform.setNextAnswer(false);
    QVERIFY(!p.runConfirmingPersonalData("jvizsglat1"));
    QCOMPARE(p.platform.messages, QStringList{QStringLiteral("Cannot create file ") + root.root().answerFile(1) +
                                              QStringLiteral("\nNincs ilyen fájl vagy mappa.")});
    // What was reset before the failure stays reset.
    QCOMPARE(p.session.grid().scoringLine(2), ScoringLine());
}

void TestCommands::openCancelledChangesNothing() {
    TestRoot root;
    prepareRoot(root);
    ProgramFixture p(root);
    p.unlock();
    p.session.grid().setScoringLine(1, codes("", "NE"));
    p.trigger("Betlt1");
    QCOMPARE(p.platform.dialogs.size(), 1);
    const Platform::FileDialog& d = p.platform.dialogs.first().dialog;
    QVERIFY(!p.platform.dialogs.first().save);
    QCOMPARE(d.filter, QStringLiteral("gyermek VKT. vizsg. eredm. (*.kvx)|*.kvx|minden fájl (*.*)|*.*"));
    QCOMPARE(d.defaultSuffix, QString());
    QCOMPARE(d.initialFolder, root.root().archiveFolder());
    QCOMPARE(p.session.grid().cell(2, 1), QStringLiteral("NE"));
    QCOMPARE(p.child<QLineEdit>(p.forms.jeloles(), "GCRosszesito")->text(), QStringLiteral("GCR érték összesen:  1.0"));
    QVERIFY(p.platform.messages.isEmpty());
}

void TestCommands::openFailingLeavesEverything() {
    TestRoot root;
    prepareRoot(root);
    root.put(QStringLiteral("gy_vkt/archivum/ROSSZ.kvx"), "n\xe9v\r\nkilenc\r\n");
    for (int n = 1; n <= 24; ++n)
        root.put(QStringLiteral("gy_vkt/aktualis/%1.val").arg(n), QByteArray::number(n));
    ProgramFixture p(root);
    p.unlock();
    p.session.grid().setScoringLine(1, codes("", "NE"));
    const PersonalData before = p.session.personal();
    p.platform.setNextFileName(root.root().archiveFolder() + QStringLiteral("/ROSSZ.kvx"));
    ModalWatch watch(p.forms.szemAd(), [&p]() { p.child<QPushButton>(p.forms.szemAd(), "BitBtn1")->click(); });
    p.trigger("Betlt1");
    QVERIFY(!watch.seen);
    QCOMPARE(p.platform.messages.size(), 1);
    QVERIFY(p.platform.messages.first().contains(QStringLiteral("ROSSZ.kvx")));
    QCOMPARE(p.session.personal(), before);
    QCOMPARE(p.session.grid().cell(2, 1), QStringLiteral("NE"));
    for (int n = 1; n <= 24; ++n)
        QCOMPARE(readFileBytes(root.root().answerFile(n)), QByteArray::number(n));
}

void TestCommands::arrangementsShowAndHideTheirWindows() {
    TestRoot root;
    prepareRoot(root);
    ProgramFixture p(root);
    p.unlock();
    ProgramWindows& f = p.forms;
    QVERIFY(!p.action("Felvtel1")->isChecked() && !p.action("Jells1")->isChecked());
    QVERIFY(p.session.layoutMode().isEmpty());

    p.trigger("Felvtel1");
    QCOMPARE(p.session.layoutMode(), QStringLiteral("felvetel"));
    QVERIFY(p.action("Felvtel1")->isChecked() && !p.action("Jells1")->isChecked());
    QVERIFY(f.kepForm()->isVisible() && f.valasz()->isVisible() && f.vvInstr()->isVisible());
    QVERIFY(!f.jeloles()->isVisible() && !f.infoKeret()->isVisible() && !f.peldatar()->isVisible());

    p.session.grid().setScoringLine(1, codes("", "NE"));
    p.trigger("Jells1");
    // The grid shows current points as soon as it comes up.
    QCOMPARE(p.session.grid().cell(6, 1), QStringLiteral("1"));
    QCOMPARE(p.session.layoutMode(), QStringLiteral("jeloles"));
    QVERIFY(!p.action("Felvtel1")->isChecked() && p.action("Jells1")->isChecked());
    QVERIFY(f.kepForm()->isVisible() && f.valasz()->isVisible());
    QVERIFY(f.jeloles()->isVisible() && f.infoKeret()->isVisible() && f.peldatar()->isVisible());
    QVERIFY(!f.vvInstr()->isVisible());
    QVERIFY(!f.szemAd()->isVisible());
}

void TestCommands::arrangementAppliesItsLayoutFile() {
    TestRoot root;
    prepareRoot(root);
    ProgramFixture p(root);
    p.unlock();
    p.trigger("Jells1");
    const QRect pictures = p.forms.kepForm()->frameGeometry();
    QCOMPARE(pictures.topLeft(), QPoint(45, 29)); // "Kepek=45,29,204,304;"
    // Lines in another order, a duplicate (the later wins), a bad line and a line after "vege".
    root.put(QStringLiteral("gy_vkt/jeloles.cfg"), "Valasz=1,2,30,40;\r\nJeloles=-15,-7,560,470;\r\n"
                                                   "Valasz=11,12,230,440;\r\nKepek=1,x,3,4;\r\nvege\r\n"
                                                   "Jeloles=0,0,10,10;\r\n");
    p.trigger("Jells1");
    QCOMPARE(p.forms.jeloles()->frameGeometry(), QRect(-15, -7, 470, 560));
    QCOMPARE(p.forms.valasz()->frameGeometry(), QRect(11, 12, 440, 230));
    QCOMPARE(p.forms.kepForm()->frameGeometry(), pictures);

    // Moves made since are undone by choosing the arrangement again.
    p.forms.jeloles()->move(300, 300);
    p.trigger("Jells1");
    QCOMPARE(p.forms.jeloles()->frameGeometry().topLeft(), QPoint(-15, -7));
}

void TestCommands::layoutFileWithoutVegeLeavesItsLastLineUnapplied() {
    TestRoot root;
    prepareRoot(root);
    ProgramFixture p(root);
    p.unlock();
    p.trigger("Felvtel1");
    const QRect answer = p.forms.valasz()->frameGeometry();
    QCOMPARE(answer.topLeft(), QPoint(60, 26)); // "Valasz=60,26,206,306;"
    root.put(QStringLiteral("gy_vkt/felvetel.cfg"), "Kepek=-12,-6,330,250;\r\nValasz=5,6,370,480;\r\n");
    p.trigger("Felvtel1");
    QVERIFY(p.platform.messages.isEmpty());
    QCOMPARE(p.forms.kepForm()->frameGeometry().topLeft(), QPoint(-12, -6));
    QCOMPARE(p.forms.valasz()->frameGeometry(), answer);
    QVERIFY(p.forms.kepForm()->isVisible() && p.forms.valasz()->isVisible() && p.forms.vvInstr()->isVisible());
}

void TestCommands::extremeLayoutNumbersKeepWindowsWithinReach() {
    TestRoot root;
    prepareRoot(root);
    root.put(QStringLiteral("gy_vkt/jeloles.cfg"),
             "Kepek=0,0,-2147483648,-2147483648;\r\nValasz=0,0,100000,100000;\r\n"
             "Jeloles=2147483647,2147483647,0,0;\r\nInfoKeret=-2147483648,-2147483648,50,50;\r\n"
             "Peldatar=1,1,99999999999,5;\r\nvege\r\n");
    ProgramFixture p(root);
    p.unlock();
    p.trigger("Jells1");
    QVERIFY(p.platform.messages.isEmpty());
    QRect screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens = screens.united(screen->availableGeometry());
    for (QWidget* w : QList<QWidget*>{p.forms.kepForm(), p.forms.valasz(), p.forms.jeloles(), p.forms.infoKeret(),
                                      p.forms.peldatar()}) {
        const QRect frame = w->frameGeometry();
        QVERIFY2(frame.width() >= 100 && frame.height() >= 60, qPrintable(w->objectName()));
        QVERIFY2(frame.width() <= screens.width() && frame.height() <= screens.height(), qPrintable(w->objectName()));
        // Enough of the window, its top edge included, is on the screens to take hold of it.
        QVERIFY2(screens.intersected(frame).width() >= 40, qPrintable(w->objectName()));
        QVERIFY2(frame.top() >= screens.top() - 10 && frame.top() <= screens.bottom() - 40,
                 qPrintable(w->objectName()));
    }
    // The line whose number does not fit in 32 bits was skipped: the window kept its own size.
    QCOMPARE(p.forms.peldatar()->size(), QSize(411, 259));
}

void TestCommands::missingLayoutFileStopsTheArrangement() {
    TestRoot root;
    prepareRoot(root);
    QFile::remove(root.root().layoutFile(QStringLiteral("felvetel")));
    ProgramFixture p(root);
    p.unlock();
    p.trigger("Felvtel1");
    QCOMPARE(p.platform.messages,
             QStringList{QStringLiteral("File not found: ") + root.root().layoutFile(QStringLiteral("felvetel"))});
    QVERIFY(p.action("Felvtel1")->isChecked());
    QCOMPARE(p.session.layoutMode(), QStringLiteral("felvetel"));
    QVERIFY(!p.forms.kepForm()->isVisible() && !p.forms.valasz()->isVisible() && !p.forms.vvInstr()->isVisible());
}

void TestCommands::layoutSavedForTheCurrentArrangementOnly() {
    TestRoot root;
    prepareRoot(root);
    ProgramFixture p(root);
    p.unlock();
    const QByteArray recording = root.get(QStringLiteral("gy_vkt/felvetel.cfg"));
    const QByteArray marking = root.get(QStringLiteral("gy_vkt/jeloles.cfg"));
    // No arrangement chosen yet: there is no file to write.
    p.trigger("Ablakkonfigurcimentse1");
    QCOMPARE(root.get(QStringLiteral("gy_vkt/felvetel.cfg")), recording);
    QCOMPARE(root.get(QStringLiteral("gy_vkt/jeloles.cfg")), marking);
    QVERIFY(p.platform.messages.isEmpty());

    p.trigger("Jells1");
    p.forms.jeloles()->move(-20, -3);
    p.trigger("Ablakkonfigurcimentse1");
    QCOMPARE(root.get(QStringLiteral("gy_vkt/felvetel.cfg")), recording);
    const QStringList lines = TextFile::readLines(root.root().layoutFile(QStringLiteral("jeloles")));
    QCOMPARE(lines.size(), 9);
    QCOMPARE(lines.last(), QStringLiteral("vege"));
    const QRect j = p.forms.jeloles()->frameGeometry();
    QCOMPARE(lines.at(3), QStringLiteral("Jeloles=-20,-3,%1,%2;").arg(j.height()).arg(j.width()));
    for (int i = 0; i < 8; ++i)
        QVERIFY(lines.at(i).startsWith(LayoutFile::keys().at(i) + QLatin1Char('=')));

    // What was saved is what the arrangement restores.
    p.forms.jeloles()->move(100, 100);
    p.trigger("Jells1");
    QCOMPARE(p.forms.jeloles()->frameGeometry().topLeft(), QPoint(-20, -3));
}

void TestCommands::tooFewMarkedPictures_data() {
    QTest::addColumn<int>("marked");
    QTest::newRow("none") << 0;
    QTest::newRow("17") << 17;
}

void TestCommands::tooFewMarkedPictures() {
    QFETCH(int, marked);
    TestRoot root;
    prepareRoot(root);
    ProgramFixture p(root);
    p.unlock();
    markPictures(p.session, marked);
    // A picture whose only mark is the parenthesized one is not marked.
    p.session.grid().setScoringLine(24, codes("", "", "", "(EV)"));
    QString shown;
    ModalWatch watch(p.forms.kevesValasz(), [&]() {
        shown = p.child<QLabel>(p.forms.kevesValasz(), "Label1")->text();
        p.child<QPushButton>(p.forms.kevesValasz(), "OKBtn")->click();
    });
    p.trigger("Kszjegyzknyv1");
    QVERIFY(watch.seen);
    QCOMPARE(shown, QStringLiteral("Kevés a lejelölt válasz, mindössze %1.").arg(marked));
    QCOMPARE(p.child<QLabel>(p.forms.kevesValasz(), "Label2")->text(),
             QStringLiteral("Legalább 18 lejelölt válasz szükséges!"));
    QVERIFY(QDir(root.root().htmlFolder()).entryList(QDir::Files).isEmpty());
    QVERIFY(p.platform.openedDocuments.isEmpty());
}

void TestCommands::protocolWrittenAndOpened() {
    TestRoot root;
    prepareRoot(root);
    ProgramFixture p(root);
    p.unlock();
    markPictures(p.session, 18);
    p.trigger("Kszjegyzknyv1");
    // An empty code still names a file: ".html".
    const QString path = root.root().protocolFile(QString());
    QCOMPARE(p.platform.openedDocuments, QStringList{path});
    const QByteArray html = readFileBytes(path);
    QCOMPARE(html.count("\r\n"), 260);
    QVERIFY(html.contains("<TD><B>GCR sz\xe1zal\xe9k: </B>"));
    QVERIFY(p.platform.messages.isEmpty());

    QVERIFY(!p.forms.jegyzokonyv.made());
}

void TestCommands::protocolRefusedForAnAgeWithoutNorms() {
    TestRoot root;
    prepareRoot(root);
    ExaminationData data;
    data.personal.age = 15;
    for (int n = 1; n <= 20; ++n)
        data.lines[n - 1] = codes("EV");
    root.put(QStringLiteral("gy_vkt/archivum/OREG.kvx"), ExaminationFile::serialize(data));
    ProgramFixture p(root);
    p.unlock();
    p.platform.setNextFileName(root.root().archiveFolder() + QStringLiteral("/OREG.kvx"));
    QVERIFY(p.runConfirmingPersonalData("Betlt1"));
    QCOMPARE(p.session.personal().age, 15);
    p.trigger("Kszjegyzknyv1");
    QCOMPARE(p.platform.messages.size(), 1);
    QVERIFY(p.platform.messages.first().contains(QStringLiteral("15")));
    QVERIFY(!root.exists(QStringLiteral("gy_vkt/html/OREG.html")));
    QVERIFY(p.platform.openedDocuments.isEmpty());
}

void TestCommands::closingSavesThePendingAnswer() {
    TestRoot root;
    prepareRoot(root);
    ProgramFixture p(root);
    p.unlock();
    p.selectPicture(4);
    typeText(p.answerMemo(), QStringLiteral("félbehagyott"));
    p.platform.setNextAnswer(true);  // leave
    p.platform.setNextAnswer(false); // do not save the examination
    QVERIFY(p.forms.fomenu->close());
    QCOMPARE(readFileBytes(root.root().answerFile(4)), QByteArray("f\xe9lbehagyott"));
}

void TestCommands::wholeExaminationFromTheMenus() {
    TestRoot root;
    prepareRoot(root);
    const QString archive = root.root().archiveFolder() + QStringLiteral("/E2E.kvx");
    {
        ProgramFixture p(root);
        p.unlock();
        QVERIFY(p.action("Betlt1")->isEnabled());

        QVERIFY(p.runConfirmingPersonalData("jvizsglat1", [&p]() {
            typeText(p.child<QLineEdit>(p.forms.szemAd(), "Edit1"), QStringLiteral("Kiss Anna & <Társa>"));
            QTest::keyClicks(p.child<QLineEdit>(p.forms.szemAd(), "Edit4"), QStringLiteral("e2e"));
            p.child<QRadioButton>(p.forms.szemAd(), "RadioButton2")->click();
            p.child<QToolButton>(p.forms.szemAd(), "up")->click();
            p.child<QToolButton>(p.forms.szemAd(), "up")->click();
            p.child<QLineEdit>(p.forms.szemAd(), "Edit3")->setText(QStringLiteral("2026.12.07."));
            p.child<QComboBox>(p.forms.szemAd(), "ComboBox1")->setEditText(QStringLiteral("Dr. Ügyes Éva"));
        }));
        QCOMPARE(p.session.personal().code, QStringLiteral("E2E"));

        p.trigger("Felvtel1");
        p.selectPicture(1);
        typeText(p.answerMemo(), QStringLiteral("Bocsánat, nem akartam."));
        QTest::keyClick(p.answerMemo(), Qt::Key_Return);
        typeText(p.answerMemo(), QStringLiteral("Majd vigyázok."));
        p.selectPicture(2);
        typeText(p.answerMemo(), QStringLiteral("Én is szeretnék!"));
        p.selectPicture(3);
        typeText(p.answerMemo(), QStringLiteral("Nem érdekel."));

        p.trigger("Jells1");
        // Pictures 1 to 18, one or two codes each; picture 3 gets a third code through the
        // deletion dialog ("Túl sok jel !!!"): NE, EE, then KE with EE deleted.
        const QList<QList<int>> plan = {{4},    {1}, {4, 5}, {9}, {2, 10}, {6}, {3},     {8}, {11},
                                        {4, 9}, {7}, {10},   {1}, {4},     {5}, {6, 11}, {9}, {3, 4}};
        for (int n = 1; n <= 18; ++n) {
            p.selectPicture(n);
            for (int tag : plan.at(n - 1))
                p.pressCode(tag);
        }
        p.selectPicture(3);
        QCOMPARE(p.session.grid().cell(2, 3), QStringLiteral("NEEE"));
        QString caption;
        ModalWatch deletion(p.forms.jelCsere(), [&]() {
            caption = p.forms.jelCsere()->windowTitle();
            p.child<QAbstractButton>(p.forms.jelCsere(), "Button4")->click(); // EE
            p.child<QAbstractButton>(p.forms.jelCsere(), "OKBtn")->click();
        });
        p.pressCode(9); // KE
        QVERIFY(deletion.seen);
        QCOMPARE(caption, QStringLiteral("Túl sok jel !!!"));
        QCOMPARE(p.session.grid().cell(2, 3), QStringLiteral("NE"));
        QCOMPARE(p.session.grid().cell(3, 3), QStringLiteral("KE"));
        // The answer of picture 3 is still being edited when the examination is saved.
        p.answerMemo()->moveCursor(QTextCursor::End);
        QTest::keyClicks(p.answerMemo(), QStringLiteral(" Menj innen!"));

        p.platform.setNextFileName(archive);
        p.trigger("Ment1");
        QVERIFY2(p.platform.messages.isEmpty(), qPrintable(p.platform.messages.join(QLatin1Char('|'))));
    }

    const ExaminationData saved = ExaminationFile::read(archive);
    QCOMPARE(saved.answers[0], QStringLiteral("Bocsánat, nem akartam.\r\nMajd vigyázok.\r\n"));
    QCOMPARE(saved.answers[2], QStringLiteral("Nem érdekel. Menj innen!\r\n"));
    QCOMPARE(saved.personal.name, QStringLiteral("Kiss Anna & <Társa>"));
    QCOMPARE(saved.personal.sex, PersonalData::Sex::Girl);
    QCOMPARE(saved.personal.age, 12);

    // A fresh start on the same data root opens the file and makes the protocol.
    ProgramFixture q(root);
    q.unlock();
    q.platform.setNextFileName(archive);
    // The answers a run leaves in the working folder are offered for saving before they go.
    q.platform.setNextAnswer(false);
    QVERIFY(q.runConfirmingPersonalData("Betlt1"));
    QCOMPARE(q.session.personal().code, QStringLiteral("E2E"));
    QCOMPARE(q.session.coding().markedPictureCount(), 18);
    q.trigger("Kszjegyzknyv1");
    const QString protocol = root.root().protocolFile(QStringLiteral("E2E"));
    QCOMPARE(q.platform.openedDocuments, QStringList{protocol});
    QVERIFY(q.platform.messages.isEmpty());

    const QString expectedPath = QStringLiteral(GYVKT_TEST_DATA_DIR "/commands/E2E.html");
    if (qEnvironmentVariableIsSet("GYVKT_WRITE_EXPECTED"))
        TextFile::writeBytes(expectedPath, readFileBytes(protocol));
    QCOMPARE(readFileBytes(protocol), readFileBytes(expectedPath));
}

void TestCommands::modalWindowsOpenAboveTheToolWindows() {
    // Every window is a transient window of the main window (or of the window that opens it), so
    // the tool windows stay above the main window, what the examiner calls up comes above them,
    // and none of them covers other programs, as a stay-on-top hint would.
    TestRoot root;
    prepareRoot(root);
    ProgramFixture p(root);
    for (QWidget* w : QList<QWidget*>{p.forms.jeloles(), p.forms.kepForm(), p.forms.valasz(), p.forms.infoKeret(),
                                      p.forms.peldatar(), p.forms.vvInstr(), p.forms.helpAblak(), p.forms.profil()}) {
        QCOMPARE(w->windowType(), Qt::Tool);
        QCOMPARE(w->parentWidget(), p.forms.fomenu);
    }
    for (QWidget* w : QList<QWidget*>{p.forms.jeloles(), p.forms.kepForm(), p.forms.valasz(), p.forms.infoKeret(),
                                      p.forms.peldatar(), p.forms.vvInstr(), p.forms.jelCsere(), p.forms.kevesValasz(),
                                      p.forms.szemAd(), p.forms.kalend(), p.forms.pwForm(), p.forms.aboutForm(),
                                      p.forms.vvLista(), p.forms.archivum()}) {
        QVERIFY2(!w->windowFlags().testFlag(Qt::WindowStaysOnTopHint), qPrintable(w->objectName()));
        QVERIFY2(w->windowType() == Qt::Tool || w->windowType() == Qt::Dialog, qPrintable(w->objectName()));
        QVERIFY(w->parentWidget());
    }
}

void TestCommands::gridCaptionsStayInViewWhileRowsScroll() {
    TestRoot root;
    prepareRoot(root);
    ProgramFixture p(root);
    p.unlock();
    p.trigger("Jells1");
    auto* grid = p.child<QTableView>(p.forms.jeloles(), "StringGrid1");
    QVERIFY(grid->isRowHidden(0));
    QVERIFY(grid->horizontalHeader()->isVisible());
    const QStringList captions{QStringLiteral("Kép"), QStringLiteral("O-D"),   QStringLiteral("E-D"),
                               QStringLiteral("N-P"), QStringLiteral("  ( )"), QStringLiteral("GCR"),
                               QStringLiteral("pont")};
    for (int column = 0; column < 7; ++column)
        QCOMPARE(grid->model()->headerData(column, Qt::Horizontal).toString(), captions.at(column));

    // A short window: pointing at a code of picture 20 scrolls the rows towards it, and the
    // captions stay above them.
    p.forms.jeloles()->resize(p.forms.jeloles()->width(), 300);
    p.selectPicture(20);
    moveOver(p.child<QWidget>(p.forms.jeloles(), "BitBtn2"));
    QVERIFY(grid->rowAt(0) > 1);
    QVERIFY(grid->rowViewportPosition(20) >= 0);
    QVERIFY(grid->rowViewportPosition(20) < grid->viewport()->height());
    QVERIFY(grid->horizontalHeader()->isVisible());
    QCOMPARE(grid->currentIndex(), grid->model()->index(20, 1));
}

void TestCommands::saveQuestionOnlyForUnsavedWork_data() {
    // What happens after start-up, in order: s save, o open, a typed answer, c a code, n a name.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<bool>("asked");
    QTest::newRow("nothing since start") << QString() << false;
    QTest::newRow("an answer being typed") << QStringLiteral("a") << true;
    QTest::newRow("a code") << QStringLiteral("c") << true;
    QTest::newRow("the name") << QStringLiteral("n") << true;
    QTest::newRow("saved after the changes") << QStringLiteral("acns") << false;
    QTest::newRow("changed after the save") << QStringLiteral("sc") << true;
    QTest::newRow("opened") << QStringLiteral("o") << false;
    QTest::newRow("opened, then typed into") << QStringLiteral("oa") << true;
}

void TestCommands::saveQuestionOnlyForUnsavedWork() {
    QFETCH(QString, steps);
    QFETCH(bool, asked);
    TestRoot root;
    prepareRoot(root);
    ExaminationData saved;
    saved.personal.name = QStringLiteral("Archivált");
    saved.lines[2] = codes("EV");
    saved.answers[0] = QStringLiteral("régi\r\n");
    const QString archived = root.root().archiveFolder() + QStringLiteral("/ARCH.kvx");
    root.put(QStringLiteral("gy_vkt/archivum/ARCH.kvx"), ExaminationFile::serialize(saved));
    // What the last run left in the working folder is where this run starts.
    for (int n = 1; n <= 24; ++n)
        root.put(QStringLiteral("gy_vkt/aktualis/%1.val").arg(n), n == 2 ? "tegnapi v\xe1lasz" : QByteArray());
    ProgramFixture p(root);
    p.unlock();
    p.forms.valasz()->show();
    for (const QChar step : steps) {
        switch (step.toLatin1()) {
        case 's':
            p.platform.setNextFileName(root.root().archiveFolder() + QStringLiteral("/UJ.kvx"));
            QVERIFY(p.program->commands().save());
            break;
        case 'o': {
            ModalWatch watch(p.forms.szemAd(), [&p] { p.child<QPushButton>(p.forms.szemAd(), "BitBtn1")->click(); });
            QVERIFY(p.program->commands().openFile(archived));
            break;
        }
        case 'a':
            QTest::keyClicks(p.answerMemo(), QStringLiteral("uj"));
            break;
        case 'c':
            p.session.grid().setScoringLine(5, codes("", "NE"));
            break;
        case 'n':
            p.session.setName(QStringLiteral("Új Név"));
            break;
        }
    }
    const QString question = QStringLiteral("El akarja menteni az aktuális vizsgálatot?");
    QVERIFY(p.platform.questions.isEmpty());
    // Leave without saving, when asked.
    p.platform.setNextAnswer(true);
    p.platform.setNextAnswer(false);
    QVERIFY(p.program->commands().closeQuery());
    QCOMPARE(p.platform.questions.contains(question), asked);
    if (!asked)
        return;
    // "Új vizsgálat" asks as well; Yes with the save dialog cancelled keeps the examination.
    const QByteArray before = ExaminationFile::serialize(p.session.collect());
    p.platform.questions.clear();
    p.platform.setNextAnswer(true);
    QVERIFY(!p.runConfirmingPersonalData("jvizsglat1"));
    QCOMPARE(p.platform.questions, QStringList{question});
    QCOMPARE(ExaminationFile::serialize(p.session.collect()), before);
}

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
