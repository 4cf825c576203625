#include "tst_marking_helpers.h"

#include "base/UserError.h"
#include "gui/helptexts/THelpAblak.h"
#include "gui/helptexts/TInfoKeret.h"
#include "gui/helptexts/TPeldatar.h"
#include "gui/helptexts/Tvv_instr.h"
#include "gui/shell/Tfomenu.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {
const QString kMissingChapter = QStringLiteral("Hiányzik egy fájl, telepítse újra a programot!");
const QString kMissingInfo = QStringLiteral("Hiányzik egy információs fájl, telepítse újra a programot");
const QString kMissingInstruction = QStringLiteral("Egy fájl hiányzik, telepítse újra a programot!");

QPlainTextEdit* memoOf(QWidget* window, const char* name = "Memo1") {
    return window->findChild<QPlainTextEdit*>(QLatin1String(name));
}

void releaseMouseOver(QWidget* widget) {
    const QPointF pos(5, 5);
    QMouseEvent event(QEvent::MouseButtonRelease, pos, widget->mapToGlobal(pos), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}
} // namespace

class TestHelp : public QObject {
    Q_OBJECT
private slots:
    void chapterIsLoadedFromItsFile_data();
    void chapterIsLoadedFromItsFile();
    void missingChapterKeepsTheTextAndBecomesTheTarget();
    void saveIsEnabledByEditsUntilSavedOrActivated();
    void savedChapterKeepsItsNoBreakSpaces();
    void failedSaveKeepsTextAndSaveEnabled();
    void copyFollowsTheMouseSelection();
    void markingHelpLoadsOncePerCode();
    void examplesOfCodesAndCombinations();
    void exampleSave_data();
    void exampleSave();
    void instructionLoadsAtStartAndSavesOnCloseOnly();
    void missingInstructionIsReportedAndCreatedOnClose();
    void unreadableInstructionIsNotOverwritten();
};

void TestHelp::chapterIsLoadedFromItsFile_data() {
    QTest::addColumn<int>("chapter");
    QTest::addColumn<QString>("file");
    QTest::newRow("1") << 1 << QStringLiteral("gy_vkt/help/irod_1.txt");
    QTest::newRow("2") << 2 << QStringLiteral("gy_vkt/help/irod_2.txt");
    QTest::newRow("3") << 3 << QStringLiteral("gy_vkt/help/irod_3.txt");
    QTest::newRow("4") << 4 << QStringLiteral("gy_vkt/help/irod_4.txt");
    QTest::newRow("5 lives in vkt") << 5 << QStringLiteral("vkt/help/irod_5.txt");
}

void TestHelp::chapterIsLoadedFromItsFile() {
    QFETCH(int, chapter);
    QFETCH(QString, file);
    ProgramFixture f([&](TestRoot& root) {
        for (int n = 1; n <= 5; ++n) {
            const QString other =
                n == 5 ? QStringLiteral("gy_vkt/help/irod_5.txt") : QStringLiteral("vkt/help/irod_%1.txt").arg(n);
            root.put(other, "rossz hely\r\n");
        }
        root.put(file, "fejezet\r\n\r\nsz\xF6veg\r\n");
    });
    f.platform.messages.clear();
    THelpAblak* help = f.forms.helpAblak();
    help->showChapter(chapter);
    QVERIFY(help->isVisible());
    QCOMPARE(memoOf(help)->toPlainText(), QStringLiteral("fejezet\n\nszöveg"));
    QTRY_COMPARE(QApplication::activeWindow(), help);
    QCOMPARE(help->windowTitle(), f.testRoot.path() + QLatin1Char('/') + file);
    QVERIFY(f.platform.messages.isEmpty());
}

void TestHelp::missingChapterKeepsTheTextAndBecomesTheTarget() {
    ProgramFixture f([](TestRoot& root) { root.put(QStringLiteral("gy_vkt/help/irod_2.txt"), "a jel\xF6l\xE9s\r\n"); });
    f.platform.messages.clear();
    THelpAblak* help = f.forms.helpAblak();
    help->showChapter(2);
    help->showChapter(5);
    QCOMPARE(f.platform.messages, QStringList{kMissingChapter});
    QCOMPARE(memoOf(help)->toPlainText(), QStringLiteral("a jelölés"));
    QTRY_COMPARE(QApplication::activeWindow(), help);
    QCOMPARE(help->windowTitle(), f.session.root().helpChapter(5));

    // Saving now creates the missing chapter from the text on screen.
    QTest::keyClick(memoOf(help), Qt::Key_End, Qt::ControlModifier);
    typeText(memoOf(help), QStringLiteral("\nújra"));
    help->findChild<QAction*>(QStringLiteral("ments1"))->trigger();
    QCOMPARE(f.testRoot.get(QStringLiteral("vkt/help/irod_5.txt")), QByteArray("a jel\xF6l\xE9s\r\n\xFAjra\r\n"));
    QCOMPARE(f.testRoot.get(QStringLiteral("gy_vkt/help/irod_2.txt")), QByteArray("a jel\xF6l\xE9s\r\n"));
}

void TestHelp::saveIsEnabledByEditsUntilSavedOrActivated() {
    ProgramFixture f([](TestRoot& root) { root.put(QStringLiteral("gy_vkt/help/irod_1.txt"), "egy\r\n"); });
    THelpAblak* help = f.forms.helpAblak();
    auto* save = help->findChild<QAction*>(QStringLiteral("ments1"));
    QCOMPARE(save->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_M));
    help->showChapter(1);
    QTRY_COMPARE(QApplication::activeWindow(), help);
    QVERIFY(!save->isEnabled());

    typeText(memoOf(help), QStringLiteral("X"));
    QVERIFY(save->isEnabled());
    QTest::keyClick(memoOf(help), Qt::Key_M, Qt::ControlModifier);
    QVERIFY(!save->isEnabled());
    QCOMPARE(f.testRoot.get(QStringLiteral("gy_vkt/help/irod_1.txt")), QByteArray("Xegy\r\n"));

    // An unsaved edit loses the enabled item when another window is activated and back.
    typeText(memoOf(help), QStringLiteral("Y"));
    QVERIFY(save->isEnabled());
    QWidget* main = f.forms.fomenu;
    main->show();
    main->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), main);
    help->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), help);
    QVERIFY(!save->isEnabled());
    QCOMPARE(memoOf(help)->toPlainText(), QStringLiteral("XYegy"));
}

void TestHelp::savedChapterKeepsItsNoBreakSpaces() {
    ProgramFixture f([](TestRoot& root) { root.put(QStringLiteral("gy_vkt/help/irod_3.txt"), "3\xA0pont\r\n"); });
    f.platform.messages.clear();
    THelpAblak* help = f.forms.helpAblak();
    help->showChapter(3);
    QPlainTextEdit* memo = memoOf(help);
    memo->moveCursor(QTextCursor::End);
    typeText(memo, QStringLiteral("\n4\u00A0pont"));
    auto* save = help->findChild<QAction*>(QStringLiteral("ments1"));
    QVERIFY(save->isEnabled());
    save->trigger();
    QCOMPARE(f.testRoot.get(QStringLiteral("gy_vkt/help/irod_3.txt")), QByteArray("3\xA0pont\r\n4\xA0pont\r\n"));
    QVERIFY(f.platform.messages.isEmpty());
}

void TestHelp::failedSaveKeepsTextAndSaveEnabled() {
    ProgramFixture f;
    QVERIFY(QDir(f.testRoot.path() + QStringLiteral("/vkt")).removeRecursively());
    f.platform.messages.clear();
    THelpAblak* help = f.forms.helpAblak();
    help->showChapter(5);
    typeText(memoOf(help), QStringLiteral("jegyzet"));
    auto* save = help->findChild<QAction*>(QStringLiteral("ments1"));
    save->trigger();
    QCOMPARE(f.platform.messages,
             (QStringList{kMissingChapter, UserError::cannotCreate(f.session.root().helpChapter(5), ENOENT).text()}));
    QVERIFY(save->isEnabled());
    QCOMPARE(memoOf(help)->toPlainText(), QStringLiteral("jegyzet"));
}

void TestHelp::copyFollowsTheMouseSelection() {
    ProgramFixture f(
        [](TestRoot& root) { root.put(QStringLiteral("gy_vkt/help/irod_3.txt"), "els\xF5\r\nm\xE1sodik\r\n"); });
    // Unlocked, the main window's Ctrl+N ("Új vizsgálat") reaches the tool windows as well.
    f.forms.fomenu->show();
    f.program->start();
    f.unlock();
    QVERIFY(f.forms.fomenu->isUnlocked());
    THelpAblak* help = f.forms.helpAblak();
    auto* copy = help->findChild<QAction*>(QStringLiteral("Noteszbe1"));
    QCOMPARE(copy->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
    help->showChapter(3);
    QTRY_COMPARE(QApplication::activeWindow(), help);
    QVERIFY(!copy->isEnabled());

    QPlainTextEdit* memo = memoOf(help);
    releaseMouseOver(memo->viewport());
    QVERIFY(!copy->isEnabled());
    memo->selectAll();
    releaseMouseOver(memo->viewport());
    QVERIFY(copy->isEnabled());
    QTest::keyClick(memo, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(f.platform.clipboard, QStringList{QStringLiteral("első\nmásodik")});
    QVERIFY(!copy->isEnabled());
    // Copying again needs another mouse-up.
    copy->trigger();
    QCOMPARE(f.platform.clipboard.size(), 1);
}

void TestHelp::markingHelpLoadsOncePerCode() {
    ProgramFixture f([](TestRoot& root) {
        root.put(QStringLiteral("gy_vkt/help/help5.txt"), "EE: \xE9n-v\xE9"
                                                          "dekez\xE9s\r\n");
    });
    f.platform.messages.clear();
    TInfoKeret* info = f.forms.infoKeret();
    info->showMarkingHelp(5);
    QCOMPARE(memoOf(info, "InfoAblak")->toPlainText(), QStringLiteral("EE: én-védekezés"));
    info->showMarkingHelp(7);
    info->showMarkingHelp(7);
    info->showMarkingHelp(7);
    QCOMPARE(f.platform.messages, QStringList{kMissingInfo});
    QCOMPARE(memoOf(info, "InfoAblak")->toPlainText(), QStringLiteral("EE: én-védekezés"));
    QCOMPARE(info->currentInfoFile(), f.session.root().markingHelp(7));
    info->showMarkingHelp(4);
    info->showMarkingHelp(7);
    QCOMPARE(f.platform.messages, (QStringList{kMissingInfo, kMissingInfo, kMissingInfo}));
}

void TestHelp::examplesOfCodesAndCombinations() {
    ProgramFixture f([](TestRoot& root) { root.put(QStringLiteral("gy_vkt/peldatar/12_3.txt"), "p\xE9lda\r\n"); });
    f.platform.messages.clear();
    TPeldatar* examples = f.forms.peldatar();
    QPlainTextEdit* memo = memoOf(examples);
    examples->showExamples(12, 3, QStringLiteral("EV+NE"));
    QCOMPARE(memo->toPlainText(), QStringLiteral("példa"));
    examples->showExamples(6, 3);
    QCOMPARE(memo->toPlainText(), QString());
    examples->showExamples(14, 9, QStringLiteral("EV+MV"));
    QCOMPARE(memo->toPlainText(), QStringLiteral("példatár: 9. kép, kombinációk (EV+MV)"));
    // An edit stays while the same example is asked for again.
    typeText(memo, QStringLiteral("új "));
    examples->showExamples(14, 9, QStringLiteral("EV+MV"));
    QCOMPARE(memo->toPlainText(), QStringLiteral("új példatár: 9. kép, kombinációk (EV+MV)"));
    QVERIFY(f.platform.messages.isEmpty());
}

void TestHelp::exampleSave_data() {
    QTest::addColumn<bool>("asked");
    QTest::newRow("after a missing example") << true;
    QTest::newRow("before anything was asked for") << false;
}

void TestHelp::exampleSave() {
    QFETCH(bool, asked);
    ProgramFixture f;
    f.platform.messages.clear();
    TPeldatar* examples = f.forms.peldatar();
    if (asked)
        examples->showExamples(5, 12);
    typeText(memoOf(examples), QStringLiteral("Ő fél.\nVége:\u00A05"));
    QTest::mouseClick(examples->findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
    const QStringList written = QDir(f.testRoot.path() + QStringLiteral("/gy_vkt/peldatar")).entryList(QDir::Files);
    if (asked) {
        QCOMPARE(written, QStringList{QStringLiteral("5_12.txt")});
        QCOMPARE(f.testRoot.get(QStringLiteral("gy_vkt/peldatar/5_12.txt")), QByteArray("\xD5 f\xE9l.\r\nV\xE9ge:\xA0"
                                                                                        "5\r\n"));
    } else {
        QVERIFY(written.isEmpty());
    }
    QVERIFY(f.platform.messages.isEmpty());
}

void TestHelp::instructionLoadsAtStartAndSavesOnCloseOnly() {
    ProgramFixture f([](TestRoot& root) { root.put(QStringLiteral("gy_vkt/help/instruk.txt"), "Mes\xE9lj!\r\n"); });
    QVERIFY(!f.platform.messages.contains(kMissingInstruction));
    Tvv_instr* instruction = f.forms.vvInstr();
    QPlainTextEdit* memo = memoOf(instruction);
    QCOMPARE(memo->toPlainText(), QStringLiteral("Meselj!").replace(3, 1, QChar(0xE9)));
    instruction->show();
    typeText(memo, QStringLiteral("Kérlek, "));
    instruction->hide();
    QCOMPARE(f.testRoot.get(QStringLiteral("gy_vkt/help/instruk.txt")), QByteArray("Mes\xE9lj!\r\n"));
    instruction->show();
    QVERIFY(instruction->close());
    QVERIFY(!instruction->isVisible());
    QCOMPARE(f.testRoot.get(QStringLiteral("gy_vkt/help/instruk.txt")), QByteArray("K\xE9rlek, Mes\xE9lj!\r\n"));
}

void TestHelp::missingInstructionIsReportedAndCreatedOnClose() {
    ProgramFixture f;
    QCOMPARE(f.platform.messages.count(kMissingInstruction), 1);
    QPlainTextEdit* memo = memoOf(f.forms.vvInstr());
    QCOMPARE(memo->toPlainText(), QString());
    f.forms.vvInstr()->show();
    typeText(memo, QStringLiteral("Nézd a képet!"));
    f.forms.vvInstr()->close();
    QCOMPARE(f.testRoot.get(QStringLiteral("gy_vkt/help/instruk.txt")), QByteArray("N\xE9zd a k\xE9pet!\r\n"));
}

void TestHelp::unreadableInstructionIsNotOverwritten() {
    ProgramFixture f([](TestRoot& root) { QDir().mkpath(root.root().instructionFile()); });
    QVERIFY(f.platform.messages.contains(UserError::cannotOpen(f.session.root().instructionFile()).text()));
    f.forms.vvInstr()->show();
    f.forms.vvInstr()->close();
    QVERIFY(QFileInfo(f.session.root().instructionFile()).isDir());
}

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
