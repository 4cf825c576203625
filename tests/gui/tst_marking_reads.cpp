#include "tst_marking_helpers.h"

#include "formats/HelpTexts.h"
#include "gui/marking/TJeloles.h"
#include "gui/recording/TKepForm.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

// Pointing sweeps over the marking window many times a second; the help and example files
// must be read once per change of control or picture, never once per mouse movement.
class TestMarkingReads : public QObject {
    Q_OBJECT
private slots:
    void eachFileIsReadOncePerChange();
};

void TestMarkingReads::eachFileIsReadOncePerChange() {
    ProgramFixture f([](TestRoot& root) {
        for (int code : {4, 9})
            root.put(QStringLiteral("gy_vkt/help/help%1.txt").arg(code), "magyarázat\r\n");
        for (const char* name : {"4_1", "9_1", "13_1", "4_2"})
            root.put(QStringLiteral("gy_vkt/peldatar/%1.txt").arg(QLatin1String(name)), "példa\r\n");
    });
    TJeloles* w = f.forms.jeloles();
    auto* ne = w->findChild<QPushButton*>(QStringLiteral("BitBtn4"));
    auto* ke = w->findChild<QPushButton*>(QStringLiteral("BitBtn9"));
    auto* komb2 = w->findChild<QLabel*>(QStringLiteral("komb_2"));
    auto reads = [start = HelpTexts::readCount()]() { return HelpTexts::readCount() - start; };
    auto sweep = [](QWidget* widget) {
        for (int i = 0; i < 50; ++i)
            moveOver(widget);
    };

    sweep(ne);
    QCOMPARE(reads(), 2); // help4 and 4_1
    sweep(komb2);
    QCOMPARE(reads(), 3); // 13_1; the marking help stays
    sweep(ne);
    QCOMPARE(reads(), 4); // 4_1 again: another example was asked for in between
    sweep(ke);
    QCOMPARE(reads(), 6); // help9 and 9_1
    for (int i = 0; i < 20; ++i) {
        moveOver(ke);
        moveOver(ke, Qt::ControlModifier);
        moveOver(ne, Qt::ControlModifier);
    }
    QCOMPARE(reads(), 6);

    f.forms.kepForm()->selectPicture(2);
    sweep(ke);
    QCOMPARE(reads(), 6); // 9_2 does not exist: nothing to read
    sweep(ne);
    QCOMPARE(reads(), 8); // help4 and 4_2
}

QTEST_MAIN(TestMarkingReads)
#include "tst_marking_reads.moc"
