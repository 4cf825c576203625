#include "tst_marking_helpers.h"

#include "formats/HelpTexts.h"
#include "gui/helptexts/TInfoKeret.h"
#include "gui/helptexts/TPeldatar.h"
#include "gui/marking/TJelCsere.h"
#include "gui/marking/TJeloles.h"
#include "gui/recording/TKepForm.h"
#include "gui/recording/Tvalasz.h"
#include "model/CombinationList.h"
#include "model/GcrKey.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

namespace {
const QString kTooMany = QStringLiteral("Túl sok jel !!!");
}

class TestMarking : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void thirdCodeGoesThroughDeletionDialog();
    void thirdCodeIsDroppedWhenNothingIsDeleted_data();
    void thirdCodeIsDroppedWhenNothingIsDeleted();
    void codeAlreadyPresentBeepsAndChangesNothing();
    void anyMouseButtonEntersTheCode_data();
    void anyMouseButtonEntersTheCode();
    void keyboardEntersNoCode();
    void pointingAtCodeSelectsItsCell_data();
    void pointingAtCodeSelectsItsCell();
    void ctrlHeldPointingChangesNothing();
    void pointingAtCombinationHighlightsAndShowsHeading();
    void combinationLabelsFollowThePicture_data();
    void combinationLabelsFollowThePicture();
    void combinationClickOnlyShowsMessage();
    void parenthesisButtonOnlyShowsMessage();
    void previousAndNextStopAtTheEnds_data();
    void previousAndNextStopAtTheEnds();
    void deletionDialogRebuildsTheRow_data();
    void deletionDialogRebuildsTheRow();
    void pressedDeletionButtonIsPlainAtAGlance();
    void pointsAndTotalFollowTheCodingWhileHidden();
    void totalFieldTakesTypingUntilTheNextRecomputation();
    void missingKeyIsReportedAndMarkingGoesOn();
    void madeLateItOpensOnThePictureInHand();

private:
    QPushButton* button(const QString& name) const { return m_f->forms.jeloles()->findChild<QPushButton*>(name); }
    QPushButton* code(int tag) const { return button(QStringLiteral("BitBtn") + QString::number(tag)); }
    QLabel* label(int k) const {
        return m_f->forms.jeloles()->findChild<QLabel*>(QStringLiteral("komb_") + QString::number(k));
    }
    QPushButton* dialogButton(const QString& name) const {
        return m_f->forms.jelCsere()->findChild<QPushButton*>(name);
    }
    QString cell(int column) const { return m_f->session.grid().cell(column, m_f->session.currentPicture()); }

    std::unique_ptr<ProgramFixture> m_f;
};

void TestMarking::init() {
    m_f = std::make_unique<ProgramFixture>();
    m_f->forms.jeloles()->show();
    m_f->platform.messages.clear();
}

void TestMarking::cleanup() {
    m_f.reset();
}

void TestMarking::thirdCodeGoesThroughDeletionDialog() {
    m_f->forms.kepForm()->selectPicture(3);
    QTest::mousePress(code(4), Qt::LeftButton); // NE
    QTest::mousePress(code(5), Qt::LeftButton); // EE
    QCOMPARE(cell(2), QStringLiteral("NEEE"));
    QCOMPARE(m_f->session.grid().scoringLine(3).codeCount(), 2);

    bool seen = false;
    whenModal([&](QWidget*) {
        TJelCsere* dialog = m_f->forms.jelCsere();
        seen = dialog->isVisible();
        QCOMPARE(dialog->windowTitle(), kTooMany);
        QCOMPARE(dialogButton(QStringLiteral("Button3"))->text(), QStringLiteral("NE"));
        QCOMPARE(dialogButton(QStringLiteral("Button4"))->text(), QStringLiteral("EE"));
        QVERIFY(!dialogButton(QStringLiteral("Button1"))->isEnabled());
        QTest::mouseClick(dialogButton(QStringLiteral("Button4")), Qt::LeftButton);
        QTest::mouseClick(dialogButton(QStringLiteral("OKBtn")), Qt::LeftButton);
    });
    QTest::mousePress(code(9), Qt::LeftButton); // KE
    QVERIFY(seen);
    QCOMPARE(cell(2), QStringLiteral("NE"));
    QCOMPARE(cell(3), QStringLiteral("KE"));
    QVERIFY(!m_f->forms.jelCsere()->isVisible());
    // The release went to the dialog; the code button must not stay pushed in.
    QVERIFY(!code(9)->isDown());
}

void TestMarking::thirdCodeIsDroppedWhenNothingIsDeleted_data() {
    QTest::addColumn<bool>("escape");
    QTest::newRow("OK with every button up") << false;
    QTest::newRow("Escape") << true;
}

void TestMarking::thirdCodeIsDroppedWhenNothingIsDeleted() {
    QFETCH(bool, escape);
    QTest::mousePress(code(2), Qt::LeftButton);  // IV
    QTest::mousePress(code(10), Qt::LeftButton); // KI
    whenModal([&](QWidget*) {
        // A choice made before Escape must not delete anything.
        QTest::mouseClick(dialogButton(QStringLiteral("Button1")), Qt::LeftButton);
        if (escape)
            QTest::keyClick(m_f->forms.jelCsere(), Qt::Key_Escape);
        else
            QTest::mouseClick(dialogButton(QStringLiteral("Button1")), Qt::LeftButton);
        if (m_f->forms.jelCsere()->isVisible())
            QTest::mouseClick(dialogButton(QStringLiteral("OKBtn")), Qt::LeftButton);
    });
    QTest::mousePress(code(6), Qt::LeftButton); // NI
    QCOMPARE(cell(1), QStringLiteral("IV"));
    QCOMPARE(cell(2), QString());
    QCOMPARE(cell(3), QStringLiteral("KI"));
    QVERIFY(!m_f->forms.jelCsere()->isVisible());
}

void TestMarking::codeAlreadyPresentBeepsAndChangesNothing() {
    QTest::mousePress(code(1), Qt::LeftButton);
    QCOMPARE(m_f->platform.beeps, 0);
    QSignalSpy changes(&m_f->session.grid(), &MarkingGrid::codingChanged);
    QTest::mousePress(code(1), Qt::LeftButton);
    QCOMPARE(m_f->platform.beeps, 1);
    QCOMPARE(cell(1), QStringLiteral("EV"));
    QCOMPARE(changes.count(), 0);
    QVERIFY(m_f->platform.messages.isEmpty());
}

void TestMarking::anyMouseButtonEntersTheCode_data() {
    QTest::addColumn<Qt::MouseButton>("mouseButton");
    QTest::newRow("left") << Qt::LeftButton;
    QTest::newRow("right") << Qt::RightButton;
    QTest::newRow("middle") << Qt::MiddleButton;
}

void TestMarking::anyMouseButtonEntersTheCode() {
    QFETCH(Qt::MouseButton, mouseButton);
    // Picture 1 has the double key NE, KE: one key code alone earns a whole point.
    QTest::mousePress(code(9), mouseButton);
    QCOMPARE(cell(3), QStringLiteral("KE"));
    QCOMPARE(cell(6), QStringLiteral("1"));
    QCOMPARE(m_f->forms.jeloles()->findChild<QLineEdit*>(QStringLiteral("GCRosszesito"))->text(),
             QStringLiteral("GCR érték összesen:  1.0"));
    QTest::mouseRelease(code(9), mouseButton);
    QVERIFY(!code(9)->isDown());
    QCOMPARE(cell(3), QStringLiteral("KE"));
}

void TestMarking::keyboardEntersNoCode() {
    QPushButton* ne = code(4);
    ne->setFocus();
    QTest::keyClick(ne, Qt::Key_Space);
    QTest::keyClick(ne, Qt::Key_Return);
    ne->click();
    QTest::mouseRelease(ne, Qt::LeftButton);
    QCOMPARE(cell(2), QString());
}

void TestMarking::pointingAtCodeSelectsItsCell_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("column");
    QTest::newRow("IV") << QStringLiteral("BitBtn2") << 1;
    QTest::newRow("NM") << QStringLiteral("BitBtn8") << 2;
    QTest::newRow("KM") << QStringLiteral("BitBtn11") << 3;
    QTest::newRow("( )") << QStringLiteral("BitBtn12") << 4;
}

void TestMarking::pointingAtCodeSelectsItsCell() {
    QFETCH(QString, control);
    QFETCH(int, column);
    m_f->forms.kepForm()->selectPicture(17);
    moveOver(button(control));
    auto* grid = m_f->forms.jeloles()->findChild<QTableView*>(QStringLiteral("StringGrid1"));
    const QModelIndexList selected = grid->selectionModel()->selectedIndexes();
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected.first().row(), 17);
    QCOMPARE(selected.first().column(), column);
    QCOMPARE(grid->currentIndex(), selected.first());
    if (column == 4) {
        // The parenthesis button asks for no help or example.
        QCOMPARE(m_f->forms.jeloles()->lastPointed(), 0);
        QCOMPARE(m_f->forms.infoKeret()->currentInfoFile(), QString());
        return;
    }
    const int tag = control.mid(6).toInt();
    QCOMPARE(m_f->forms.jeloles()->lastPointed(), tag);
    QCOMPARE(m_f->forms.infoKeret()->currentInfoFile(), m_f->session.root().markingHelp(tag));
    QCOMPARE(m_f->forms.peldatar()->currentExampleFile(), m_f->session.root().exampleFile(tag, 17));
}

void TestMarking::ctrlHeldPointingChangesNothing() {
    moveOver(code(4));
    moveOver(label(3));
    const QString info = m_f->forms.infoKeret()->currentInfoFile();
    const QString example = m_f->forms.peldatar()->currentExampleFile();
    auto* grid = m_f->forms.jeloles()->findChild<QTableView*>(QStringLiteral("StringGrid1"));
    const QModelIndex current = grid->currentIndex();
    const QColor lime = label(3)->palette().color(QPalette::Window);

    moveOver(code(11), Qt::ControlModifier);
    moveOver(label(5), Qt::ControlModifier);
    QCOMPARE(grid->currentIndex(), current);
    QCOMPARE(m_f->forms.infoKeret()->currentInfoFile(), info);
    QCOMPARE(m_f->forms.peldatar()->currentExampleFile(), example);
    QCOMPARE(m_f->forms.jeloles()->lastPointed(), 14);
    QCOMPARE(label(3)->palette().color(QPalette::Window), lime);
    QVERIFY(label(5)->palette().color(QPalette::Window) != lime);
}

void TestMarking::pointingAtCombinationHighlightsAndShowsHeading() {
    m_f->forms.kepForm()->selectPicture(5);
    moveOver(code(3));
    moveOver(label(2));
    auto* memo = m_f->forms.peldatar()->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
    QCOMPARE(memo->toPlainText(), QStringLiteral("példatár: 5. kép, kombinációk (NE+KE)"));
    QCOMPARE(m_f->forms.jeloles()->lastPointed(), 13);
    QCOMPARE(m_f->forms.jeloles()->lastCombination(), QStringLiteral("NE+KE"));
    QCOMPARE(m_f->forms.peldatar()->currentExampleFile(), m_f->session.root().exampleFile(13, 5));
    for (int k = 1; k <= 17; ++k)
        QCOMPARE(label(k)->palette().color(QPalette::Window), k == 2 ? QColor(0, 255, 0) : QColor(255, 255, 0));
    // The highlight stays when the pointer goes on to a code button.
    moveOver(code(4));
    QCOMPARE(label(2)->palette().color(QPalette::Window), QColor(0, 255, 0));
    // A code button with no example empties the window.
    QCOMPARE(memo->toPlainText(), QString());
}

void TestMarking::combinationLabelsFollowThePicture_data() {
    QTest::addColumn<int>("picture");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<int>("enabled");
    QTest::newRow("picture 2") << 2
                               << QStringList{QStringLiteral("NE+KE"), QStringLiteral("NE+KM"), QStringLiteral("KE+KM"),
                                              QStringLiteral("IV+NE"), QStringLiteral("NI+KM")}
                               << 7;
    QTest::newRow("picture 14") << 14 << QStringList{QStringLiteral("MV+NE"), QStringLiteral("MV+EE")} << 2;
    QTest::newRow("picture 6") << 6
                               << QStringList{QStringLiteral("NE+NI"), QStringLiteral("NE+KE"), QStringLiteral("NE+KE"),
                                              QStringLiteral("NE+KM"), QStringLiteral("KE+KI"), QStringLiteral("KE+KM"),
                                              QStringLiteral("IV+KE"), QStringLiteral("NI+KE"), QStringLiteral("MV+NE")}
                               << 9;
}

void TestMarking::combinationLabelsFollowThePicture() {
    QFETCH(int, picture);
    QFETCH(QStringList, captions);
    QFETCH(int, enabled);
    // Go through picture 9, whose list fills all 17 labels, so nothing is left over from it.
    m_f->forms.kepForm()->selectPicture(9);
    QVERIFY(label(17)->isEnabled());
    m_f->forms.kepForm()->selectPicture(picture);
    // The grid highlights the row the codes go to.
    QCOMPARE(m_f->forms.jeloles()->findChild<QTableView*>(QStringLiteral("StringGrid1"))->currentIndex().row(),
             picture);
    for (int k = 1; k <= 17; ++k) {
        QCOMPARE(label(k)->text(), k <= captions.size() ? captions.at(k - 1) : QStringLiteral("***"));
        QCOMPARE(label(k)->isEnabled(), k <= enabled);
    }
    if (picture == 2) {
        // An enabled "***" label asks for the examples of its tag like any other.
        moveOver(label(6));
        QCOMPARE(m_f->forms.peldatar()->currentExampleFile(), m_f->session.root().exampleFile(17, 2));
        auto* memo = m_f->forms.peldatar()->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
        QCOMPARE(memo->toPlainText(), QStringLiteral("példatár: 2. kép, kombinációk (***)"));
    }
}

void TestMarking::combinationClickOnlyShowsMessage() {
    m_f->forms.kepForm()->selectPicture(3);
    m_f->platform.messages.clear();
    QTest::mouseClick(label(1), Qt::LeftButton);
    QCOMPARE(m_f->platform.messages,
             QStringList{QStringLiteral("A kombinált jelöléseket a jelölőgombokkal\r\negyenként lehet bevinni.A jelek "
                                        "kiválasztásában segítenek a példamondatok.")});
    for (int column = 1; column <= 4; ++column)
        QCOMPARE(cell(column), QString());
}

void TestMarking::parenthesisButtonOnlyShowsMessage() {
    m_f->setField(1, 4, QStringLiteral("(EV)"));
    QTest::mouseClick(button(QStringLiteral("BitBtn12")), Qt::LeftButton);
    QCOMPARE(m_f->platform.messages,
             QStringList{QStringLiteral("A Gyermek VKT-ben nem használatos a zárójeles jelölés!")});
    QCOMPARE(cell(4), QStringLiteral("(EV)"));
    QCOMPARE(cell(1), QString());
}

void TestMarking::previousAndNextStopAtTheEnds_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("expected");
    QTest::newRow("previous on 1") << 1 << QStringLiteral("BitBtn14") << 1;
    QTest::newRow("next on 24") << 24 << QStringLiteral("BitBtn15") << 24;
    QTest::newRow("previous on 10") << 10 << QStringLiteral("BitBtn14") << 9;
    QTest::newRow("next on 14") << 14 << QStringLiteral("BitBtn15") << 15;
}

void TestMarking::previousAndNextStopAtTheEnds() {
    QFETCH(int, start);
    QFETCH(QString, control);
    QFETCH(int, expected);
    m_f->forms.kepForm()->selectPicture(start);
    // The same picture is selected again: an edited answer is stored on the way.
    auto* memo = m_f->forms.valasz()->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
    typeText(memo, QStringLiteral("ok"));
    QTest::mouseClick(button(control), Qt::LeftButton);
    QCOMPARE(m_f->session.currentPicture(), expected);
    QCOMPARE(m_f->forms.jeloles()->findChild<QLineEdit*>(QStringLiteral("Edit1"))->text(),
             QString::number(expected) + QLatin1Char('.'));
    QCOMPARE(m_f->testRoot.get(QStringLiteral("gy_vkt/aktualis/") + QString::number(start) + QStringLiteral(".val")),
             QByteArray("ok"));
    QCOMPARE(label(1)->text(), CombinationList::labelCaption(expected, 1));
    QVERIFY(m_f->forms.kepForm()
                ->findChild<QAbstractButton*>(QStringLiteral("SpeedButton") + QString::number(expected))
                ->isChecked());
}

void TestMarking::deletionDialogRebuildsTheRow_data() {
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QList<int>>("presses");
    QTest::addColumn<QList<bool>>("enabled");
    QTest::addColumn<QStringList>("after");
    const QString none;
    QTest::newRow("IV and KI, nothing pressed")
        << QStringList{QStringLiteral("IV"), none, QStringLiteral("KI"), none} << QList<int>{}
        << QList<bool>{true, false, false, false, true, false, false}
        << QStringList{QStringLiteral("IV"), none, QStringLiteral("KI"), none};
    QTest::newRow("first code deleted moves the second up")
        << QStringList{none, QStringLiteral("NEEE"), none, none} << QList<int>{3}
        << QList<bool>{false, false, true, true, false, false, false}
        << QStringList{none, QStringLiteral("EE"), none, none};
    QTest::newRow("both codes of a field")
        << QStringList{none, QStringLiteral("NEEE"), none, none} << QList<int>{3, 4}
        << QList<bool>{false, false, true, true, false, false, false} << QStringList{none, none, none, none};
    QTest::newRow("pressed twice stays") << QStringList{QStringLiteral("MV"), none, QStringLiteral("KM"), none}
                                         << QList<int>{5, 5}
                                         << QList<bool>{true, false, false, false, true, false, false}
                                         << QStringList{QStringLiteral("MV"), none, QStringLiteral("KM"), none};
    QTest::newRow("parenthesized mark cut to four characters")
        << QStringList{QStringLiteral("EV"), none, none, QStringLiteral("(NE)x")} << QList<int>{}
        << QList<bool>{true, false, false, false, false, false, true}
        << QStringList{QStringLiteral("EV"), none, none, QStringLiteral("(NE)")};
    QTest::newRow("parenthesized mark deleted")
        << QStringList{QStringLiteral("EV"), none, none, QStringLiteral("(NE)")} << QList<int>{7}
        << QList<bool>{true, false, false, false, false, false, true}
        << QStringList{QStringLiteral("EV"), none, none, none};
    QTest::newRow("empty picture") << QStringList{none, none, none, none} << QList<int>{}
                                   << QList<bool>{false, false, false, false, false, false, false}
                                   << QStringList{none, none, none, none};
}

void TestMarking::deletionDialogRebuildsTheRow() {
    QFETCH(QStringList, before);
    QFETCH(QList<int>, presses);
    QFETCH(QList<bool>, enabled);
    QFETCH(QStringList, after);
    m_f->forms.kepForm()->selectPicture(4);
    for (int column = 1; column <= 4; ++column)
        m_f->setField(4, column, before.at(column - 1));
    QString title;
    whenModal([&](QWidget*) {
        title = m_f->forms.jelCsere()->windowTitle();
        for (int i = 1; i <= 7; ++i)
            QCOMPARE(dialogButton(QStringLiteral("Button") + QString::number(i))->isEnabled(), enabled.at(i - 1));
        for (int i : presses)
            QTest::mouseClick(dialogButton(QStringLiteral("Button") + QString::number(i)), Qt::LeftButton);
        QTest::mouseClick(dialogButton(QStringLiteral("OKBtn")), Qt::LeftButton);
    });
    QTest::mouseClick(button(QStringLiteral("BitBtn13")), Qt::LeftButton);
    QCOMPARE(title, QStringLiteral("Törlés!"));
    for (int column = 1; column <= 4; ++column)
        QCOMPARE(cell(column), after.at(column - 1));
    // Picture 4's key is NE: the points follow the rebuilt row.
    QCOMPARE(cell(6), GcrKey::point(m_f->session.grid().scoringLine(4), m_f->session.coding().key().pair(4)));
    for (int i = 1; i <= 7; ++i)
        QVERIFY(!dialogButton(QStringLiteral("Button") + QString::number(i))->isChecked());
}

void TestMarking::pressedDeletionButtonIsPlainAtAGlance() {
    // Share of strongly red pixels in the button as drawn.
    auto redShare = [](QPushButton* b) {
        const QImage image = b->grab().toImage();
        int red = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                red += c.red() > 150 && c.green() < 80 && c.blue() < 80;
            }
        }
        return double(red) / (image.width() * image.height());
    };
    m_f->setField(1, 1, QStringLiteral("EV"));
    double up = -1;
    double down = -1;
    whenModal([&](QWidget*) {
        QPushButton* ev = dialogButton(QStringLiteral("Button1"));
        up = redShare(ev);
        QTest::mouseClick(ev, Qt::LeftButton);
        QVERIFY(ev->isChecked());
        down = redShare(ev);
        QTest::mouseClick(ev, Qt::LeftButton);
        QTest::mouseClick(dialogButton(QStringLiteral("OKBtn")), Qt::LeftButton);
    });
    QTest::mouseClick(button(QStringLiteral("BitBtn13")), Qt::LeftButton);
    QVERIFY2(up < 0.05, qPrintable(QString::number(up)));
    QVERIFY2(down > 0.5, qPrintable(QString::number(down)));
    QCOMPARE(cell(1), QStringLiteral("EV"));
}

void TestMarking::pointsAndTotalFollowTheCodingWhileHidden() {
    TJeloles* jeloles = m_f->forms.jeloles();
    jeloles->hide();
    const MarkingGrid& grid = m_f->session.grid();
    auto* total = jeloles->findChild<QLineEdit*>(QStringLiteral("GCRosszesito"));
    // Picture 1 (key NE, KE): NE and KE earn 1; picture 4 (key NE): NE and EV earn 0.5;
    // picture 5 (key KE, NE): EV alone earns 0.0. Nothing has to be shown or activated.
    m_f->setField(1, 2, QStringLiteral("NE"));
    QCOMPARE(grid.cell(6, 1), QStringLiteral("1"));
    QCOMPARE(total->text(), QStringLiteral("GCR érték összesen:  1.0"));
    m_f->setField(1, 3, QStringLiteral("KE"));
    m_f->setField(4, 1, QStringLiteral("EV"));
    m_f->setField(4, 2, QStringLiteral("NE"));
    m_f->setField(5, 1, QStringLiteral("EV"));
    QCOMPARE(grid.cell(6, 1), QStringLiteral("1"));
    QCOMPARE(grid.cell(6, 4), QStringLiteral("0.5"));
    QCOMPARE(grid.cell(6, 5), QStringLiteral("0.0"));
    QCOMPARE(total->text(), QStringLiteral("GCR érték összesen:  1.5"));
    QVERIFY(!jeloles->isVisible());

    m_f->forms.kepForm()->selectPicture(8);
    jeloles->findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral("?"));
    jeloles->show();
    jeloles->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), jeloles);
    QCOMPARE(jeloles->findChild<QLineEdit*>(QStringLiteral("Edit1"))->text(), QStringLiteral("8."));
}

void TestMarking::totalFieldTakesTypingUntilTheNextRecomputation() {
    auto* total = m_f->forms.jeloles()->findChild<QLineEdit*>(QStringLiteral("GCRosszesito"));
    QVERIFY(!total->isReadOnly());
    total->end(false);
    QTest::keyClicks(total, QStringLiteral("9"));
    QCOMPARE(total->text(), QStringLiteral("GCR érték összesen:  0.09"));
    // Picture 1's key is NE, KE: NE alone earns 1.
    QTest::mousePress(code(4), Qt::LeftButton);
    QCOMPARE(total->text(), QStringLiteral("GCR érték összesen:  1.0"));
}

void TestMarking::missingKeyIsReportedAndMarkingGoesOn() {
    m_f.reset();
    ProgramFixture f([](TestRoot& root) { QFile::remove(root.root().gcrKeyFile()); });
    QVERIFY(f.platform.messages.contains(QStringLiteral("File not found: ") + f.session.root().gcrKeyFile()));
    QCOMPARE(f.session.grid().cell(5, 1), QStringLiteral(" "));
    QTest::mousePress(f.forms.jeloles()->findChild<QPushButton*>(QStringLiteral("BitBtn4")), Qt::LeftButton);
    QCOMPARE(f.session.grid().cell(2, 1), QStringLiteral("NE"));
    QCOMPARE(f.session.grid().cell(6, 1), QStringLiteral("0.0"));
}

// The window is made when first needed; by then the examination may stand at another picture,
// which it must show as a window made at start would have followed it.
void TestMarking::madeLateItOpensOnThePictureInHand() {
    ProgramFixture late;
    late.forms.kepForm()->selectPicture(9);
    QVERIFY(!late.forms.jeloles.made());
    TJeloles* marking = late.forms.jeloles();
    QCOMPARE(late.child<QLineEdit>(marking, "Edit1")->text(), QStringLiteral("9."));
    QCOMPARE(late.child<QTableView>(marking, "StringGrid1")->currentIndex().row(), 9);
    QCOMPARE(late.child<QLabel>(marking, "komb_1")->text(), CombinationList::labelCaption(9, 1));
}

QTEST_MAIN(TestMarking)
#include "tst_marking.moc"
