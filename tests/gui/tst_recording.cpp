#include "tst_marking_helpers.h"

#include "base/Cp1250.h"
#include "base/UserError.h"
#include "gui/marking/TJeloles.h"
#include "gui/recording/TKepForm.h"
#include "gui/recording/Tvalasz.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>

class TestRecording : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void startsOnPictureOne();
    void closeBoxesHideAndTheArrangementBringsBack();
    void windowsAreKeptInTheirNormalState();
    void answerReachesItsFileOnlyOnTheNextSelection();
    void answerIsWrittenExactly_data();
    void answerIsWrittenExactly();
    void browsingWithoutTypingWritesNothing();
    void selectingTheCurrentPictureStoresAndReloads();
    void speedButtonSelectsItsPicture();
    void selectionHandsTheKeyboardToTheAnswer();
    void missingBitmapIsReportedAndSelectionCompletes();
    void unwritableAnswerKeepsThePreviousPicture();
    void outOfRangePictureIsIgnored();
    void answerTooLongToShowIsCutAndKept();

private:
    QPlainTextEdit* memo() const { return m_f->forms.valasz()->findChild<QPlainTextEdit*>(QStringLiteral("Memo1")); }
    QToolButton* speedButton(int n) const {
        return m_f->forms.kepForm()->findChild<QToolButton*>(QStringLiteral("SpeedButton") + QString::number(n));
    }
    QByteArray answerBytes(int n) const {
        return m_f->testRoot.get(QStringLiteral("gy_vkt/aktualis/") + QString::number(n) + QStringLiteral(".val"));
    }
    bool answerExists(int n) const {
        return m_f->testRoot.exists(QStringLiteral("gy_vkt/aktualis/") + QString::number(n) + QStringLiteral(".val"));
    }

    std::unique_ptr<ProgramFixture> m_f;
};

void TestRecording::init() {
    m_f = std::make_unique<ProgramFixture>([](TestRoot& root) {
        for (int n = 1; n <= 24; ++n) {
            if (n != 4)
                root.put(QStringLiteral("gy_vkt/pictures/%1.bmp").arg(n), bitmapBytes(QColor(n * 10, 100, 200)));
        }
        root.put(QStringLiteral("gy_vkt/aktualis/6.val"), "A fi\xFA\r\ns\xEDr.");
        root.put(QStringLiteral("gy_vkt/aktualis/1.val"), "els\xF5");
    });
    m_f->forms.valasz()->show();
    m_f->forms.kepForm()->show();
    m_f->platform.messages.clear();
}

void TestRecording::cleanup() {
    m_f.reset();
}

void TestRecording::startsOnPictureOne() {
    QCOMPARE(m_f->session.currentPicture(), 1);
    QCOMPARE(m_f->forms.valasz()->windowTitle(), QStringLiteral("A(z) 1. képre adott válasz"));
    QCOMPARE(memo()->toPlainText(), QStringLiteral("első"));
    QVERIFY(speedButton(1)->isChecked());
    QCOMPARE(m_f->forms.jeloles()->findChild<QLineEdit*>(QStringLiteral("Edit1"))->text(), QStringLiteral("1."));
    QCOMPARE(m_f->forms.kepForm()->findChild<QLabel*>(QStringLiteral("Image1"))->pixmap().size(), QSize(320, 403));
    QCOMPARE(speedButton(24)->text(), QStringLiteral("24."));
}

void TestRecording::answerReachesItsFileOnlyOnTheNextSelection() {
    m_f->forms.kepForm()->selectPicture(5);
    typeText(memo(), QStringLiteral("Fél a kutyától"));
    QVERIFY(!answerExists(5));

    m_f->forms.kepForm()->selectPicture(6);
    QCOMPARE(answerBytes(5), Cp1250::encode(QStringLiteral("Fél a kutyától")));
    QCOMPARE(memo()->toPlainText(), QStringLiteral("A fiú\nsír."));
    QCOMPARE(m_f->forms.valasz()->windowTitle(), QStringLiteral("A(z) 6. képre adott válasz"));
    QCOMPARE(answerBytes(6), QByteArray("A fi\xFA\r\ns\xEDr."));

    m_f->forms.kepForm()->selectPicture(5);
    QCOMPARE(memo()->toPlainText(), QStringLiteral("Fél a kutyától"));
    QVERIFY(!m_f->forms.valasz()->isModified());
    QVERIFY(m_f->platform.messages.isEmpty());
}

void TestRecording::answerIsWrittenExactly_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("lines joined by CR LF, none added") << QStringLiteral("egy\nkettő") << QByteArray("egy\r\nkett\xF5");
    QTest::newRow("a final Enter is kept") << QStringLiteral("egy\n") << QByteArray("egy\r\n");
    QTest::newRow("wrapped line stays one line")
        << QStringLiteral("szó ").repeated(80) << QByteArray("sz\xF3 ").repeated(80);
    QTest::newRow("no-break space kept") << QStringLiteral("5\u00A0éves") << QByteArray("5\xA0\xE9ves");
}

void TestRecording::answerIsWrittenExactly() {
    QFETCH(QString, typed);
    QFETCH(QByteArray, bytes);
    m_f->forms.kepForm()->selectPicture(12);
    QCOMPARE(m_f->forms.valasz()->windowTitle(), QStringLiteral("A(z) 12. képre adott válasz"));
    const QStringList parts = typed.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            QTest::keyClick(memo(), Qt::Key_Return);
        typeText(memo(), parts.at(i));
    }
    m_f->forms.kepForm()->selectPicture(13);
    QCOMPARE(answerBytes(12), bytes);
}

void TestRecording::browsingWithoutTypingWritesNothing() {
    const QByteArray first = answerBytes(1);
    for (int n = 24; n >= 1; --n)
        m_f->forms.kepForm()->selectPicture(n);
    QDir folder(m_f->session.root().workingFolder());
    QCOMPARE(folder.entryList(QDir::Files), (QStringList{QStringLiteral("1.val"), QStringLiteral("6.val")}));
    QCOMPARE(answerBytes(1), first);
}

void TestRecording::selectingTheCurrentPictureStoresAndReloads() {
    typeText(memo(), QStringLiteral(" és más"));
    QVERIFY(m_f->forms.valasz()->isModified());
    m_f->forms.kepForm()->selectPicture(1);
    QCOMPARE(answerBytes(1), Cp1250::encode(memo()->toPlainText()));
    QVERIFY(!m_f->forms.valasz()->isModified());
    QCOMPARE(m_f->session.currentPicture(), 1);
}

void TestRecording::speedButtonSelectsItsPicture() {
    QTest::mouseClick(speedButton(7), Qt::LeftButton);
    QCOMPARE(m_f->session.currentPicture(), 7);
    for (int n = 1; n <= 24; ++n)
        QCOMPARE(speedButton(n)->isChecked(), n == 7);
    QCOMPARE(m_f->forms.jeloles()->findChild<QLineEdit*>(QStringLiteral("Edit1"))->text(), QStringLiteral("7."));
    const QImage shown = m_f->forms.kepForm()->findChild<QLabel*>(QStringLiteral("Image1"))->pixmap().toImage();
    QCOMPARE(shown.pixelColor(10, 10), QColor(70, 100, 200));
    QCOMPARE(m_f->forms.jeloles()->findChild<QLabel*>(QStringLiteral("komb_8"))->text(), QStringLiteral("KI+KM"));
}

void TestRecording::selectionHandsTheKeyboardToTheAnswer() {
    TKepForm* kepForm = m_f->forms.kepForm();
    kepForm->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), kepForm);
    QTest::mouseClick(speedButton(6), Qt::LeftButton);
    QTRY_COMPARE(QApplication::activeWindow(), m_f->forms.valasz());
    QCOMPARE(QApplication::focusWidget(), memo());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral(" Igen."));
    QCOMPARE(memo()->toPlainText(), QStringLiteral("A fiú\nsír. Igen."));

    // A hidden answer window is not brought up by a selection.
    m_f->forms.valasz()->hide();
    kepForm->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), kepForm);
    QTest::mouseClick(speedButton(7), Qt::LeftButton);
    QTest::qWait(50);
    QCOMPARE(QApplication::activeWindow(), kepForm);
    QVERIFY(!m_f->forms.valasz()->isVisible());
    QCOMPARE(answerBytes(6), QByteArray("A fi\xFA\r\ns\xEDr. Igen."));
}

void TestRecording::missingBitmapIsReportedAndSelectionCompletes() {
    m_f->forms.kepForm()->selectPicture(3);
    typeText(memo(), QStringLiteral("harmadik"));
    m_f->forms.kepForm()->selectPicture(4);
    QCOMPARE(m_f->platform.messages, QStringList{UserError::cannotOpen(m_f->session.root().pictureFile(4)).text()});
    QCOMPARE(m_f->session.currentPicture(), 4);
    QVERIFY(m_f->forms.kepForm()->findChild<QLabel*>(QStringLiteral("Image1"))->pixmap().isNull());
    QVERIFY(speedButton(4)->isChecked());
    // The window now holds picture 4's (empty) answer, bound to picture 4's file.
    QCOMPARE(memo()->toPlainText(), QString());
    QCOMPARE(m_f->forms.valasz()->answerPath(), m_f->session.root().answerFile(4));
    QCOMPARE(m_f->forms.jeloles()->findChild<QLabel*>(QStringLiteral("komb_7"))->text(), QStringLiteral("KE+KI"));

    typeText(memo(), QStringLiteral("negyedik"));
    m_f->forms.kepForm()->selectPicture(5);
    QCOMPARE(answerBytes(3), QByteArray("harmadik"));
    QCOMPARE(answerBytes(4), QByteArray("negyedik"));
}

void TestRecording::unwritableAnswerKeepsThePreviousPicture() {
    // A folder standing where 5.val should be: it can be neither read nor replaced.
    QVERIFY(QDir().mkpath(m_f->session.root().answerFile(5)));
    m_f->forms.kepForm()->selectPicture(5);
    QCOMPARE(m_f->platform.messages, QStringList{UserError::cannotOpen(m_f->session.root().answerFile(5)).text()});
    QCOMPARE(memo()->toPlainText(), QString());
    m_f->platform.messages.clear();

    typeText(memo(), QStringLiteral("elveszne"));
    QTest::mouseClick(speedButton(6), Qt::LeftButton);
    QCOMPARE(m_f->platform.messages,
             QStringList{UserError::cannotCreate(m_f->session.root().answerFile(5), EISDIR).text()});
    QCOMPARE(m_f->session.currentPicture(), 5);
    QVERIFY(speedButton(5)->isChecked());
    QVERIFY(!speedButton(6)->isChecked());
    QCOMPARE(memo()->toPlainText(), QStringLiteral("elveszne"));
    QVERIFY(m_f->forms.valasz()->isModified());
    QCOMPARE(m_f->forms.valasz()->windowTitle(), QStringLiteral("A(z) 5. képre adott válasz"));
    QCOMPARE(m_f->forms.jeloles()->findChild<QLineEdit*>(QStringLiteral("Edit1"))->text(), QStringLiteral("5."));
}

void TestRecording::outOfRangePictureIsIgnored() {
    typeText(memo(), QStringLiteral("x"));
    m_f->forms.kepForm()->selectPicture(0);
    m_f->forms.kepForm()->selectPicture(25);
    QCOMPARE(m_f->session.currentPicture(), 1);
    QVERIFY(m_f->forms.valasz()->isModified());
}

void TestRecording::closeBoxesHideAndTheArrangementBringsBack() {
    // Window managers draw a close box on every window; none may be one that does nothing.
    m_f->testRoot.put(QStringLiteral("gy_vkt/jeloles.cfg"), "Jeloles=10,10,500,430;\r\nvege\r\n");
    m_f->unlock();
    m_f->trigger("Jells1");
    const QList<QWidget*> tools{m_f->forms.valasz(), m_f->forms.jeloles(), m_f->forms.infoKeret(),
                                m_f->forms.peldatar(), m_f->forms.kepForm()};
    for (QWidget* w : tools) {
        QVERIFY2(w->isVisible(), qPrintable(w->objectName()));
        QVERIFY2(w->close(), qPrintable(w->objectName()));
        QVERIFY(!w->isVisible());
    }
    m_f->trigger("Jells1");
    for (QWidget* w : tools)
        QVERIFY2(w->isVisible(), qPrintable(w->objectName()));
}

void TestRecording::windowsAreKeptInTheirNormalState() {
    // A window manager may offer minimise and maximise on every window; the program's own
    // windows come back as they were, the main window alone may be minimised.
    for (QWidget* w : QList<QWidget*>{m_f->forms.valasz(), m_f->forms.kepForm(), m_f->forms.szemAd()}) {
        w->show();
        for (Qt::WindowState state : {Qt::WindowMinimized, Qt::WindowMaximized}) {
            w->setWindowState(state);
            QTRY_COMPARE(w->windowState(), Qt::WindowNoState);
            QVERIFY(w->isVisible());
        }
        w->hide();
    }
    m_f->forms.fomenu->setWindowState(Qt::WindowMinimized);
    QTest::qWait(20);
    QCOMPARE(m_f->forms.fomenu->windowState(), Qt::WindowMinimized);
}

void TestRecording::answerTooLongToShowIsCutAndKept() {
    // One line without breaks, longer than the window lays out in a moment.
    const QByteArray planted(Tvalasz::kShownAnswerLength + 30000, 'x');
    m_f->testRoot.put(QStringLiteral("gy_vkt/aktualis/5.val"), planted);
    auto* notice = m_f->forms.valasz()->findChild<QLabel*>(QStringLiteral("Label1"));
    m_f->forms.kepForm()->selectPicture(5);
    QCOMPARE(memo()->toPlainText(), QString(Tvalasz::kShownAnswerLength, QLatin1Char('x')));
    QVERIFY(notice->isVisible());
    // What the window shows is never written over the whole answer.
    QTest::keyClicks(memo(), QStringLiteral("abc"));
    m_f->forms.kepForm()->selectPicture(6);
    QCOMPARE(answerBytes(5), planted);
    QVERIFY(!notice->isVisible());
    QVERIFY(!memo()->isReadOnly());
}

QTEST_MAIN(TestRecording)
#include "tst_recording.moc"
