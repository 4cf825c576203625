// Runs on the offscreen platform with three screens side by side (data/three-screens.json): the
// main window stands on the first. That platform activates every window it shows, so whether the
// keyboard stays with the examiner is checked by the desktop suite, on a real X server.
#include "tst_marking_helpers.h"

#include "gui/archive/TArchivum.h"
#include "gui/childscreen/ChildScreen.h"

#include <QMenu>
#include <QScreen>

namespace {

const QColor kPicture1(10, 100, 200);
const QColor kPicture2(20, 100, 200);

void putPictures(const TestRoot& root) {
    root.put(QStringLiteral("gy_vkt/pictures/1.bmp"), bitmapBytes(kPicture1));
    root.put(QStringLiteral("gy_vkt/pictures/2.bmp"), bitmapBytes(kPicture2));
}

ChildScreen* childScreen(const ProgramFixture& f) {
    return f.forms.fomenu->findChild<ChildScreen*>(QStringLiteral("ChildScreen"));
}

QRect screenGeometry(const QString& name) {
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->name() == name)
            return screen->geometry();
    }
    return QRect();
}

// The program as main() starts it, unlocked.
struct Unlocked : ProgramFixture {
    explicit Unlocked(const TestRoot& root) : ProgramFixture(root) { unlock(); }
};

} // namespace

class TestChildScreen : public QObject {
    Q_OBJECT
private slots:
    void coversTheOtherScreenWithThePictureAlone();
    void escapeClosesItFromTheExaminerWindowsOnly_data();
    void escapeClosesItFromTheExaminerWindowsOnly();
    void chosenScreenIsRememberedForTheNextStart();
};

void TestChildScreen::coversTheOtherScreenWithThePictureAlone() {
    QCOMPARE(QGuiApplication::screens().size(), 3);
    TestRoot root;
    putPictures(root);
    ProgramFixture f(root);
    QVERIFY(!f.action("Gyermekkepernyo1")->isEnabled());
    f.unlock();
    f.trigger("Gyermekkepernyo1");
    ChildScreen* child = childScreen(f);
    QVERIFY(child && child->isVisible());
    QVERIFY(f.action("Gyermekkepernyo1")->isChecked());
    QCOMPARE(child->geometry(), screenGeometry(QStringLiteral("side")));

    // 320 x 403 scaled to the height of 600: 476 wide, centred.
    const int left = (800 - 320 * 600 / 403) / 2;
    const QImage shown = child->grab().toImage();
    QCOMPARE(shown.pixelColor(left + 3, 300), kPicture1);
    QCOMPARE(shown.pixelColor(800 - left - 4, 599), kPicture1);
    QVERIFY(shown.pixelColor(left - 3, 300) != kPicture1);
    QCOMPARE(shown.pixelColor(left - 3, 300), shown.pixelColor(799, 0));

    f.selectPicture(2);
    QCOMPARE(child->grab().toImage().pixelColor(400, 300), kPicture2);
}

void TestChildScreen::escapeClosesItFromTheExaminerWindowsOnly_data() {
    QTest::addColumn<bool>("fromAnswer");
    QTest::addColumn<bool>("closes");
    QTest::newRow("answer window") << true << true;
    QTest::newRow("archive dialog") << false << false;
}

void TestChildScreen::escapeClosesItFromTheExaminerWindowsOnly() {
    QFETCH(bool, fromAnswer);
    QFETCH(bool, closes);
    TestRoot root;
    putPictures(root);
    Unlocked f(root);
    f.trigger("Gyermekkepernyo1");
    QWidget* window = fromAnswer ? static_cast<QWidget*>(f.forms.valasz) : f.forms.archivum;
    window->show();
    window->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), window);
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window, Qt::Key_Escape);
    QCOMPARE(childScreen(f)->isVisible(), !closes);
    QCOMPARE(f.action("Gyermekkepernyo1")->isChecked(), !closes);
}

void TestChildScreen::chosenScreenIsRememberedForTheNextStart() {
    TestRoot root;
    {
        Unlocked f(root);
        auto* choices = f.forms.fomenu->findChild<QMenu*>(QStringLiteral("Gyermekkepernyohelye1"));
        emit choices->aboutToShow();
        // Every screen but the examiner's is offered.
        QStringList offered;
        for (QAction* choice : choices->actions())
            offered << choice->text();
        QCOMPARE(offered, (QStringList{QStringLiteral("side (800 × 600)"), QStringLiteral("projector (1024 × 768)")}));
        choices->actions().at(1)->trigger();
    }
    Unlocked f(root);
    f.trigger("Gyermekkepernyo1");
    QCOMPARE(childScreen(f)->geometry(), screenGeometry(QStringLiteral("projector")));
}

QTEST_MAIN(TestChildScreen)
#include "tst_childscreen.moc"
