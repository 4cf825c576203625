#include "base/TextFile.h"
#include "formats/ExaminationFile.h"
#include "gui/ModalWatch.h"
#include "gui/ProgramFixture.h"
#include "gui/recording/TKalend.h"
#include "gui/recording/TSzemAd.h"
#include "gui/recording/TVV_lista.h"
#include "model/PersonalData.h"

#include <QBuffer>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {

QByteArray imageBytes(const QColor& colour, const char* format) {
    QImage image(40, 50, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

struct Personal : ProgramFixture {
    template <typename Prepare>
    explicit Personal(Prepare prepare) : ProgramFixture(prepare) {
        window()->findChild<QTimer*>(QStringLiteral("Timer1"))->stop(); // ticks are driven by hand
        platform.messages.clear();
    }
    Personal() : Personal([](TestRoot&) {}) {}

    TSzemAd* window() const { return forms.szemAd(); }
    template <typename W>
    W* child(const char* name) const {
        return window()->findChild<W*>(QLatin1String(name));
    }
    QLineEdit* code() const { return child<QLineEdit>("Edit4"); }
    QWidget* lamp() const { return child<QWidget>("Shape1"); }
    QColor photoCentre() const {
        const QImage shown = child<QLabel>("Image1")->pixmap().toImage();
        return shown.isNull() ? QColor() : shown.pixelColor(shown.width() / 2, shown.height() / 2);
    }
};

bool near(const QColor& a, const QColor& b) {
    return qAbs(a.red() - b.red()) < 24 && qAbs(a.green() - b.green()) < 24 && qAbs(a.blue() - b.blue()) < 24;
}

} // namespace

class TestPersonal : public QObject {
    Q_OBJECT

private slots:
    void codeIsUpperCasedAsTyped() {
        Personal p;
        p.window()->show();
        QTest::keyClicks(p.code(), QStringLiteral("abc"));
        QCOMPARE(p.code()->text(), QStringLiteral("ABC"));
        QCOMPARE(p.session.personal().code, QStringLiteral("ABC"));
        QTest::keyClick(p.code(), Qt::Key_Home);
        QTest::sendKeyEvent(QTest::Click, p.code(), Qt::Key_Eacute, QStringLiteral("é"), Qt::NoModifier);
        QCOMPARE(p.code()->text(), QStringLiteral("ÉABC"));
        QCOMPARE(p.code()->cursorPosition(), 1);
    }

    void overwriteWarningBlinks() {
        Personal p([](TestRoot& root) { root.put(QStringLiteral("gy_vkt/archivum/abc.kvx"), "x"); });
        TSzemAd* w = p.window();
        w->show();
        QVERIFY(p.lamp()->isHidden());
        QTest::keyClicks(p.code(), QStringLiteral("AB"));
        QVERIFY(p.lamp()->isHidden());
        QTest::keyClicks(p.code(), QStringLiteral("C"));
        QVERIFY(!p.lamp()->isHidden());
        const QString warning = QStringLiteral("felülírásra kerül: ABC.kvx");
        QCOMPARE(w->windowTitle(), warning);

        // The shape and colour change on every tick; the caption flips on the ticks that make a
        // square and stays on the others.
        const TShape* shape = p.child<TShape>("Shape1");
        QStringList squareTitles;
        for (int tick = 0; tick < 8; ++tick) {
            const TShape::Form before = shape->form();
            const QString titleBefore = w->windowTitle();
            w->Timer1Timer();
            QVERIFY(shape->form() != before);
            if (shape->form() == TShape::Form::Circle) {
                QCOMPARE(shape->colour(), QColor(0, 255, 0));
                QCOMPARE(w->windowTitle(), titleBefore);
            } else {
                QCOMPARE(shape->colour(), QColor(Qt::yellow));
                squareTitles << w->windowTitle();
            }
        }
        QCOMPARE(squareTitles.size(), 4);
        for (int i = 0; i < squareTitles.size(); ++i) {
            QVERIFY(squareTitles.at(i) == warning || squareTitles.at(i).isEmpty());
            if (i > 0)
                QVERIFY(squareTitles.at(i) != squareTitles.at(i - 1));
        }

        QTest::keyClicks(p.code(), QStringLiteral("D"));
        QVERIFY(p.lamp()->isHidden());
        QCOMPARE(p.session.personal().code, QStringLiteral("ABCD"));
        w->Timer1Timer();
        w->Timer1Timer();
        QCOMPARE(w->windowTitle(), QStringLiteral("Gyermek VKT személyi adatok"));
    }

    void archiveListIsReadOnce() {
        Personal p([](TestRoot& root) { root.put(QStringLiteral("gy_vkt/archivum/abc.kvx"), "x"); });
        p.window()->show();
        p.window()->hide();
        p.testRoot.put(QStringLiteral("gy_vkt/archivum/XYZ.kvx"), "x");
        p.window()->show();
        QTest::keyClicks(p.code(), QStringLiteral("xyz"));
        QVERIFY(p.lamp()->isHidden());
        p.code()->clear();
        QTest::keyClicks(p.code(), QStringLiteral("abc"));
        QVERIFY(!p.lamp()->isHidden());
    }

    void reopeningDoesNotWarnUntilEdited() {
        Personal p([](TestRoot& root) { root.put(QStringLiteral("gy_vkt/archivum/ABC.kvx"), "x"); });
        p.window()->show();
        QTest::keyClicks(p.code(), QStringLiteral("ABC"));
        QVERIFY(!p.lamp()->isHidden());
        p.window()->hide();
        p.window()->show();
        QVERIFY(p.lamp()->isHidden());
        QCOMPARE(p.window()->windowTitle(), QStringLiteral("Gyermek VKT személyi adatok"));
    }

    void ageStepsBetweenSevenAndFourteen() {
        Personal p;
        p.window()->show();
        auto* age = p.child<QLineEdit>("Edit2");
        QCOMPARE(age->text(), QStringLiteral("10"));
        QCOMPARE(p.session.personal().age, 10);
        auto* up = p.child<QWidget>("UpDown1")->findChild<QToolButton*>(QStringLiteral("up"));
        auto* down = p.child<QWidget>("UpDown1")->findChild<QToolButton*>(QStringLiteral("down"));
        for (int i = 0; i < 6; ++i)
            QTest::mouseClick(up, Qt::LeftButton);
        QCOMPARE(age->text(), QStringLiteral("14"));
        QCOMPARE(p.session.personal().age, 14);
        for (int i = 0; i < 9; ++i)
            QTest::mouseClick(down, Qt::LeftButton);
        QCOMPARE(age->text(), QStringLiteral("7"));
        QCOMPARE(p.session.personal().age, 7);
    }

    void ageTakesDigitsAndArrowKeys_data() {
        QTest::addColumn<QString>("keys"); // typed after the field was emptied; ^ Up, v Down
        QTest::addColumn<QString>("shown");
        QTest::newRow("digits") << QStringLiteral("12") << QStringLiteral("12");
        QTest::newRow("letters and a third digit are refused") << QStringLiteral("1a2b3") << QStringLiteral("12");
        QTest::newRow("Up and Down step from what was typed") << QStringLiteral("9^^v") << QStringLiteral("10");
        QTest::newRow("Up stops at 14") << QStringLiteral("13^^^") << QStringLiteral("14");
        QTest::newRow("Down stops at 7") << QStringLiteral("8vvv") << QStringLiteral("7");
    }
    void ageTakesDigitsAndArrowKeys() {
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        Personal p;
        p.window()->show();
        auto* age = p.child<QLineEdit>("Edit2");
        age->setFocus();
        age->selectAll();
        QTest::keyClick(age, Qt::Key_Backspace);
        for (const QChar key : keys) {
            if (key == QLatin1Char('^'))
                QTest::keyClick(age, Qt::Key_Up);
            else if (key == QLatin1Char('v'))
                QTest::keyClick(age, Qt::Key_Down);
            else
                QTest::keyClicks(age, QString(key));
        }
        QCOMPARE(age->text(), shown);
        QCOMPARE(p.session.personal().age, shown.toInt());
        // The arrows beside the field are no tab stops: Tab goes on to the date.
        QWidget* next = age->nextInFocusChain();
        while (!(next->focusPolicy() & Qt::TabFocus))
            next = next->nextInFocusChain();
        QCOMPARE(next->objectName(), QStringLiteral("Edit3"));
    }

    void ageFromAFileOutsideTheBoundsStepsOnFromWhatIsShown_data() {
        QTest::addColumn<int>("fromFile");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("shown");
        QTest::newRow("15, down") << 15 << QStringLiteral("down") << 14;
        QTest::newRow("15, up stays") << 15 << QStringLiteral("up") << 15;
        QTest::newRow("5, up") << 5 << QStringLiteral("up") << 6;
        QTest::newRow("5, down stays") << 5 << QStringLiteral("down") << 5;
    }
    void ageFromAFileOutsideTheBoundsStepsOnFromWhatIsShown() {
        QFETCH(int, fromFile);
        QFETCH(QString, button);
        QFETCH(int, shown);
        Personal p;
        PersonalData data;
        data.age = fromFile;
        p.window()->showPersonalData(data);
        p.window()->show();
        auto* age = p.child<QLineEdit>("Edit2");
        QCOMPARE(age->text(), QString::number(fromFile));
        QTest::mouseClick(p.child<QWidget>("UpDown1")->findChild<QToolButton*>(button), Qt::LeftButton);
        QCOMPARE(age->text(), QString::number(shown));
        QCOMPARE(p.session.personal().age, shown);
    }

    void sexIsStoredOnlyOnConfirm() {
        Personal p;
        p.window()->show();
        QCOMPARE(p.child<QRadioButton>("RadioButton1")->text(), QStringLiteral("fiú"));
        QCOMPARE(p.child<QRadioButton>("RadioButton2")->text(), QStringLiteral("lány"));
        auto* girl = p.child<QRadioButton>("RadioButton2");
        QTest::mouseClick(girl, Qt::LeftButton, {}, QPoint(6, girl->height() / 2)); // on the indicator
        QVERIFY(girl->isChecked());
        QCOMPARE(p.session.personal().sex, PersonalData::Sex::Boy);
        QTest::mouseClick(p.child<QPushButton>("BitBtn1"), Qt::LeftButton);
        QCOMPARE(p.session.personal().sex, PersonalData::Sex::Girl);
        QVERIFY(!p.window()->isVisible());
    }

    void escapeDoesNotCloseTheWindow() {
        Personal p;
        p.window()->show();
        QTest::keyClick(p.window(), Qt::Key_Escape);
        QVERIFY(p.window()->isVisible());
    }

    void examinerList() {
        Personal p([](TestRoot& root) {
            root.put(QStringLiteral("gy_vkt/vv.txt"),
                     TextFile::encodeLines({QStringLiteral("Kovács Éva"), QString(), QStringLiteral("Szabó Ödön")}));
        });
        p.window()->show();
        auto* combo = p.child<QComboBox>("ComboBox1");
        QCOMPARE(combo->lineEdit()->placeholderText(), QStringLiteral("válasszon a listából"));
        QVERIFY(p.session.personal().examiner.isEmpty());
        QTest::keyClicks(combo->lineEdit(), QStringLiteral("Dr. X"));
        QCOMPARE(p.session.personal().examiner, QStringLiteral("Dr. X"));

        combo->showPopup();
        combo->hidePopup();
        QCOMPARE(combo->count(), 3);
        QCOMPARE(combo->itemText(2), QStringLiteral("Szabó Ödön"));
        QVERIFY(combo->itemText(1).isEmpty());
        QCOMPARE(combo->currentText(), QStringLiteral("Dr. X"));
        QCOMPARE(p.session.personal().examiner, QStringLiteral("Dr. X"));

        QFile::remove(p.testRoot.root().examinerList());
        combo->showPopup();
        combo->hidePopup();
        QCOMPARE(p.platform.messages,
                 QStringList{QStringLiteral("Cannot open file ") + p.testRoot.root().examinerList()});
        QCOMPARE(combo->count(), 3);
    }

    void photo_data() {
        QTest::addColumn<QByteArray>("photo");
        QTest::addColumn<QByteArray>("noPhoto");
        QTest::addColumn<QColor>("shown");
        const QByteArray red = imageBytes(Qt::red, "JPG");
        const QByteArray blue = imageBytes(Qt::blue, "BMP");
        QTest::newRow("photo") << red << blue << QColor(Qt::red);
        QTest::newRow("no photo") << QByteArray() << blue << QColor(Qt::blue);
        QTest::newRow("undecodable photo") << QByteArray("not a jpeg at all") << blue << QColor(Qt::blue);
        QTest::newRow("nothing") << QByteArray() << QByteArray() << QColor(Qt::green);
    }
    void photo() {
        QFETCH(QByteArray, photo);
        QFETCH(QByteArray, noPhoto);
        QFETCH(QColor, shown);
        Personal p([&](TestRoot& root) {
            root.put(QStringLiteral("selvik/pictures/OLD.jpg"), imageBytes(Qt::green, "JPG"));
            if (!photo.isNull())
                root.put(QStringLiteral("selvik/pictures/KID.jpg"), photo);
            if (!noPhoto.isNull())
                root.put(QStringLiteral("selvik/sys_pic/nincs.bmp"), noPhoto);
        });
        p.window()->show();
        QTest::keyClicks(p.code(), QStringLiteral("old"));
        QVERIFY(near(p.photoCentre(), Qt::green));
        p.code()->clear();
        QTest::keyClicks(p.code(), QStringLiteral("kid"));
        QVERIFY2(near(p.photoCentre(), shown), qPrintable(p.photoCentre().name()));
        QCOMPARE(p.child<QLabel>("Image1")->size(), QSize(102, 126));
        QCOMPARE(p.session.personal().code, QStringLiteral("KID"));
    }

    void dateFieldOpensTheCalendar_data() {
        QTest::addColumn<QString>("date");
        QTest::addColumn<bool>("doubleClick");
        QTest::addColumn<bool>("opens");
        QTest::newRow("click empty") << QString() << false << true;
        QTest::newRow("click filled") << QStringLiteral("tegnap") << false << false;
        QTest::newRow("double click filled") << QStringLiteral("tegnap") << true << true;
        QTest::newRow("double click empty") << QString() << true << true;
    }
    void dateFieldOpensTheCalendar() {
        QFETCH(QString, date);
        QFETCH(bool, doubleClick);
        QFETCH(bool, opens);
        Personal p;
        p.window()->show();
        auto* field = p.child<QLineEdit>("Edit3");
        field->setText(date);
        int openings = 0;
        ModalWatch watch(p.forms.kalend(), [&]() {
            ++openings;
            p.forms.kalend()->findChild<QPushButton*>(QStringLiteral("OKbutton"))->click();
        });
        if (doubleClick)
            QTest::mouseDClick(field, Qt::LeftButton);
        else
            QTest::mouseClick(field, Qt::LeftButton);
        QTest::qWait(50);
        QCOMPARE(openings, opens ? 1 : 0);
        // The scripted today is 5 March 2007.
        const QString expected = opens ? QStringLiteral("2007.03.05.") : date;
        QCOMPARE(field->text(), expected);
        QCOMPARE(p.session.personal().date, expected);
    }

    void showAndResetPersonalData() {
        Personal p;
        PersonalData data;
        data.code = QStringLiteral("minta");
        data.name = QStringLiteral("Minta Péter");
        data.age = 15;
        data.date = QStringLiteral("2007.03.05.");
        data.examiner = QStringLiteral("Kovács Éva");
        data.sex = PersonalData::Sex::Girl;
        p.window()->showPersonalData(data);
        QCOMPARE(p.child<QLineEdit>("Edit1")->text(), data.name);
        QCOMPARE(p.code()->text(), QStringLiteral("MINTA"));
        QCOMPARE(p.child<QLineEdit>("Edit2")->text(), QStringLiteral("15"));
        QCOMPARE(p.child<QComboBox>("ComboBox1")->currentText(), data.examiner);
        QVERIFY(p.child<QRadioButton>("RadioButton2")->isChecked());
        QVERIFY(!p.child<QRadioButton>("RadioButton1")->isChecked());
        data.code = QStringLiteral("MINTA");
        QVERIFY(p.session.personal() == data);

        p.session.startNewExamination();
        PersonalData fresh;
        fresh.code = QStringLiteral("MINTA");
        QVERIFY(p.session.personal() == fresh);
        QVERIFY(p.child<QLineEdit>("Edit1")->text().isEmpty());
        QCOMPARE(p.child<QLineEdit>("Edit2")->text(), QStringLiteral("10"));
        QVERIFY(p.child<QRadioButton>("RadioButton1")->isChecked());
        QCOMPARE(p.code()->text(), QStringLiteral("MINTA"));
        // The up-down continues from the age shown.
        QTest::mouseClick(p.child<QWidget>("UpDown1")->findChild<QToolButton*>(QStringLiteral("up")), Qt::LeftButton);
        QCOMPARE(p.session.personal().age, 11);
    }

    void textLongerThanTheFieldStaysWhole() {
        Personal p;
        ExaminationData data;
        data.personal.name = QString(40000, QChar(0xe1));
        data.personal.examiner = QStringLiteral("Kovács Éva");
        p.session.load(data);
        auto* name = p.child<QLineEdit>("Edit1");
        QVERIFY(name->isReadOnly());
        QCOMPARE(p.session.personal().name, data.personal.name);
        QCOMPARE(p.session.personal().examiner, data.personal.examiner);
        // A name that fits can be edited again.
        data.personal.name = QStringLiteral("Minta Péter");
        p.session.load(data);
        QVERIFY(!name->isReadOnly());
        QCOMPARE(p.session.personal().name, data.personal.name);
    }

    void examinerListEditor() {
        Personal p([](TestRoot& root) {
            root.put(QStringLiteral("gy_vkt/vv.txt"), "Kov\xe1"
                                                      "cs\r\nSzab\xf3");
        });
        p.window()->show();
        auto* combo = p.child<QComboBox>("ComboBox1");
        QTest::mouseDClick(combo->lineEdit(), Qt::LeftButton);
        TVV_lista* editor = p.forms.vvLista();
        QTRY_VERIFY(editor->isVisible());
        QCOMPARE(editor->listSelector(), QStringLiteral("vv"));
        auto* memo = editor->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
        QCOMPARE(memo->toPlainText(), QStringLiteral("Kovács\nSzabó"));

        memo->setPlainText(QStringLiteral("elvész"));
        editor->hide();
        editor->show();
        QCOMPARE(memo->toPlainText(), QStringLiteral("Kovács\nSzabó"));

        memo->setPlainText(QStringLiteral("Kovács\nSzabó\nNagy Ödön\n"));
        editor->findChild<QPushButton*>(QStringLiteral("kesz"))->click();
        QVERIFY(!editor->isVisible());
        QCOMPARE(p.testRoot.get(QStringLiteral("gy_vkt/vv.txt")), QByteArray("Kov\xe1"
                                                                             "cs\r\nSzab\xf3\r\nNagy \xd6"
                                                                             "d\xf6n\r\n"));
        QVERIFY(p.platform.messages.isEmpty());
    }

    void anotherProgramInBetweenIsNoActivation() {
        Personal p([](TestRoot& root) {
            root.put(QStringLiteral("gy_vkt/archivum/ABC.kvx"), "x");
            root.put(QStringLiteral("gy_vkt/vv.txt"), "Kiss");
        });
        TSzemAd* w = p.window();
        w->show();
        QApplication::setActiveWindow(w);
        QTest::keyClicks(p.code(), QStringLiteral("ABC"));
        QVERIFY(!p.lamp()->isHidden());

        // Away to another program and back: the warning stays.
        QApplication::setActiveWindow(nullptr);
        QApplication::setActiveWindow(w);
        QVERIFY(!p.lamp()->isHidden());
        QCOMPARE(w->windowTitle(), TSzemAd::warningCaption(QStringLiteral("ABC")));

        // The list being edited survives the same, and is reloaded only when the examiner
        // comes back to it from one of the program's own windows.
        TVV_lista* editor = p.forms.vvLista();
        editor->setListSelector(QStringLiteral("vv"));
        editor->show();
        QApplication::setActiveWindow(editor);
        auto* memo = editor->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
        QCOMPARE(memo->toPlainText(), QStringLiteral("Kiss"));
        memo->setPlainText(QStringLiteral("Kiss\nNagy"));
        QApplication::setActiveWindow(nullptr);
        QApplication::setActiveWindow(editor);
        QCOMPARE(memo->toPlainText(), QStringLiteral("Kiss\nNagy"));

        QApplication::setActiveWindow(w);
        QVERIFY(p.lamp()->isHidden());
        QCOMPARE(w->windowTitle(), QStringLiteral("Gyermek VKT személyi adatok"));
        QApplication::setActiveWindow(editor);
        QCOMPARE(memo->toPlainText(), QStringLiteral("Kiss"));
        QVERIFY(p.platform.messages.isEmpty());
    }

    void examinerListKeepsEveryCharacter() {
        // A non-breaking space (0xA0) in a name is written back as it was read.
        const QByteArray list("Dr.\xa0Kov\xe1"
                              "cs\r\nSzab\xf3\r\n");
        Personal p([&list](TestRoot& root) { root.put(QStringLiteral("gy_vkt/vv.txt"), list); });
        TVV_lista* editor = p.forms.vvLista();
        editor->setListSelector(QStringLiteral("vv"));
        editor->show();
        editor->findChild<QPushButton*>(QStringLiteral("kesz"))->click();
        QVERIFY(!editor->isVisible());
        QCOMPARE(p.testRoot.get(QStringLiteral("gy_vkt/vv.txt")), list);
        QVERIFY(p.platform.messages.isEmpty());
    }

    void examinerListEditorWithoutFile() {
        Personal p;
        TVV_lista* editor = p.forms.vvLista();
        editor->setListSelector(QStringLiteral("vv"));
        editor->show();
        QCOMPARE(p.platform.messages,
                 QStringList{QStringLiteral("Cannot open file ") + p.testRoot.root().examinerList()});
        editor->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"))->setPlainText(QStringLiteral("Új Név"));
        editor->findChild<QPushButton*>(QStringLiteral("kesz"))->click();
        QCOMPARE(p.testRoot.get(QStringLiteral("gy_vkt/vv.txt")), QByteArray("\xdaj N\xe9v"));
    }
};

QTEST_MAIN(TestPersonal)
#include "tst_personal.moc"
