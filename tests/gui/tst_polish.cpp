// What makes the program comfortable in daily use on a 1366 x 768 screen: the help and example
// windows of the installation's layouts show their texts whole, and the personal data's "súgó"
// opens the help on the personal data while that window is up.
#include "base/DataTree.h"
#include "formats/LayoutFile.h"
#include "gui/ModalWatch.h"
#include "gui/ProgramFixture.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QtTest>

namespace {

// Room a window manager's frame takes from a window's outer size (title bar and borders).
const QSize kFrame(12, 34);

QRect outer(const QList<LayoutFile::Entry>& entries, const char* key) {
    for (const LayoutFile::Entry& e : entries) {
        if (e.key == QLatin1String(key))
            return QRect(e.geometry.left, e.geometry.top, e.geometry.width, e.geometry.height);
    }
    return QRect();
}

void layDownInstallation(TestRoot& root) {
    DataTree::layDown(root.root(), DataTree::defaultTreeDir());
}

// True when the whole text shows without scrolling.
bool fits(QPlainTextEdit* edit) {
    QCoreApplication::processEvents();
    return edit->verticalScrollBar()->maximum() == 0;
}

} // namespace

class TestPolish : public QObject {
    Q_OBJECT
private slots:
    void layoutsGiveTheHelpWindowsRoom_data();
    void layoutsGiveTheHelpWindowsRoom();
    void everyHelpAndExampleFitsItsWindow();
    void helpButtonOfThePersonalDataOpensItsSection_data();
    void helpButtonOfThePersonalDataOpensItsSection();
};

void TestPolish::layoutsGiveTheHelpWindowsRoom_data() {
    QTest::addColumn<QString>("mode");
    QTest::newRow("recording") << QStringLiteral("felvetel");
    QTest::newRow("marking") << QStringLiteral("jeloles");
}

void TestPolish::layoutsGiveTheHelpWindowsRoom() {
    QFETCH(QString, mode);
    TestRoot root;
    layDownInstallation(root);
    const QList<LayoutFile::Entry> entries = LayoutFile::read(root.root().layoutFile(mode));
    const QRect screen(0, 0, 1366, 768);
    for (const char* key : {"InfoKeret", "Peldatar", "Jeloles", "Kepek", "Valasz"})
        QVERIFY2(screen.contains(outer(entries, key)), key);
    if (mode == QLatin1String("jeloles")) {
        // In the marking arrangement all of these stand side by side, none over another.
        const QList<const char*> shown{"InfoKeret", "Peldatar", "Jeloles", "Kepek", "Valasz"};
        for (const char* a : shown) {
            for (const char* b : shown) {
                if (a != b)
                    QVERIFY2(!outer(entries, a).intersects(outer(entries, b)),
                             qPrintable(QLatin1String(a) + QLatin1Char('/') + QLatin1String(b)));
            }
        }
    }
}

void TestPolish::everyHelpAndExampleFitsItsWindow() {
    TestRoot root;
    layDownInstallation(root);
    const QList<LayoutFile::Entry> entries = LayoutFile::read(root.root().layoutFile(QStringLiteral("jeloles")));
    ProgramFixture p(root);
    TInfoKeret* info = p.forms.infoKeret();
    TPeldatar* examples = p.forms.peldatar();
    info->resize(outer(entries, "InfoKeret").size() - kFrame);
    examples->resize(outer(entries, "Peldatar").size() - kFrame);
    info->show();
    examples->show();
    auto* infoText = info->findChild<QPlainTextEdit*>(QStringLiteral("InfoAblak"));
    auto* exampleText = examples->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));

    for (int code = 1; code <= 11; ++code) {
        info->showMarkingHelp(code);
        QVERIFY2(!infoText->toPlainText().isEmpty(), qPrintable(QString::number(code)));
        QVERIFY2(fits(infoText), qPrintable(root.root().markingHelp(code)));
    }
    const QStringList files = QDir(root.root().gyVkt(QStringLiteral("peldatar"))).entryList({QStringLiteral("*.txt")});
    QVERIFY(files.size() > 300);
    for (const QString& file : files) {
        const QStringList parts = file.chopped(4).split(QLatin1Char('_'));
        examples->showExamples(parts.at(0).toInt(), parts.at(1).toInt(), QStringLiteral("***"));
        QVERIFY2(fits(exampleText), qPrintable(file));
    }
}

void TestPolish::helpButtonOfThePersonalDataOpensItsSection_data() {
    QTest::addColumn<bool>("byKey");
    QTest::newRow("súgó") << false;
    // Catches F1 lost while the window is up modally and the menus' keys cannot act.
    QTest::newRow("F1") << true;
}

void TestPolish::helpButtonOfThePersonalDataOpensItsSection() {
    QFETCH(bool, byKey);
    TestRoot root;
    layDownInstallation(root);
    ProgramFixture p(root);
    p.unlock();
    THelpAblak* help = p.forms.helpAblak();
    bool helpIsTheirs = false;
    QString topLine;
    QVERIFY(p.runConfirmingPersonalData("Szemadatok1", [&] {
        if (byKey)
            QTest::keyClick(p.forms.szemAd(), Qt::Key_F1);
        else
            p.child<QPushButton>(p.forms.szemAd(), "BitBtn2")->click();
        QVERIFY(help->isVisible());
        // Only the modal window's own children take input while it is up.
        helpIsTheirs = help->parentWidget() == p.forms.szemAd();
        auto* text = help->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
        topLine = text->cursorForPosition(QPoint(4, 4)).block().text();
    }));
    QVERIFY(helpIsTheirs);
    QVERIFY2(topLine.startsWith(QStringLiteral("A személyi adatok ablakában")), qPrintable(topLine));
    QCOMPARE(help->currentHelpFile(), root.root().helpChapter(1));
    // Afterwards the help window is the main window's again, and still open.
    QCOMPARE(help->parentWidget(), p.forms.fomenu);
    QVERIFY(help->isVisible());
}

QTEST_MAIN(TestPolish)
#include "tst_polish.moc"
