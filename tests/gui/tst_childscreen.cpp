// Runs on the offscreen platform with three screens side by side (data/three-screens.json): the
// main window stands on the first. That platform activates every window it shows, so whether the
// keyboard stays with the examiner is left to the desktop suite, on a real X server.
#include "tst_marking_helpers.h"

#include "gui/archive/TArchivum.h"
#include "gui/childscreen/ChildScreen.h"

#include <QMenu>
#include <QScreen>

namespace {

QRect screenGeometry(const QString& name) {
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->name() == name)
            return screen->geometry();
    }
    return QRect();
}

ChildScreen* childScreen(const ProgramFixture& f) {
    return f.forms.fomenu->findChild<ChildScreen*>(QStringLiteral("ChildScreen"));
}

} // namespace

class TestChildScreen : public QObject {
    Q_OBJECT
private slots:
    void pictureFillsTheScreenInItsProportions();
    void chosenScreenIsRememberedForTheNextStart();
};

void TestChildScreen::pictureFillsTheScreenInItsProportions() {
    const QColor first(10, 100, 200), second(20, 100, 200);
    TestRoot root;
    root.put(QStringLiteral("gy_vkt/pictures/1.bmp"), bitmapBytes(first));
    root.put(QStringLiteral("gy_vkt/pictures/2.bmp"), bitmapBytes(second));
    ProgramFixture f(root);
    QVERIFY(!f.action("Gyermekkepernyo1")->isEnabled());
    f.unlock();
    f.trigger("Gyermekkepernyo1");
    ChildScreen* child = childScreen(f);
    QVERIFY(child && child->isVisible());
    QCOMPARE(child->geometry(), screenGeometry(QStringLiteral("side")));

    // 320 x 403 scaled to the height of 600: 476 wide, centred on the 800.
    const int left = (800 - 320 * 600 / 403) / 2;
    const QImage shown = child->grab().toImage();
    QCOMPARE(shown.pixelColor(left + 3, 300), first);
    QCOMPARE(shown.pixelColor(800 - left - 4, 599), first);
    QVERIFY(shown.pixelColor(left - 3, 300) != first);
    QCOMPARE(shown.pixelColor(left - 3, 300), shown.pixelColor(799, 0));
    f.selectPicture(2);
    QCOMPARE(child->grab().toImage().pixelColor(400, 300), second);

    // A dialog keeps its own Escape, while the examiner's windows are up.
    f.forms.fomenu->show();
    f.forms.archivum()->show();
    f.forms.archivum()->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), f.forms.archivum());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(child->isVisible());
}

void TestChildScreen::chosenScreenIsRememberedForTheNextStart() {
    TestRoot root;
    {
        ProgramFixture f(root);
        f.unlock();
        auto* choices = f.forms.fomenu->findChild<QMenu*>(QStringLiteral("Gyermekkepernyohelye1"));
        emit choices->aboutToShow();
        QStringList offered;
        for (QAction* choice : choices->actions())
            offered << choice->text();
        QCOMPARE(offered, (QStringList{QStringLiteral("side (800 × 600)"), QStringLiteral("projector (1024 × 768)")}));
        choices->actions().at(1)->trigger();
    }
    ProgramFixture f(root);
    f.unlock();
    f.trigger("Gyermekkepernyo1");
    QCOMPARE(childScreen(f)->geometry(), screenGeometry(QStringLiteral("projector")));
}

QTEST_MAIN(TestChildScreen)
#include "tst_childscreen.moc"
