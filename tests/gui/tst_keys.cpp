// The everyday path from the keyboard: the pictures stepped from the answer, picture and marking
// windows, the codes typed, F1 for the help of the window in front, F6 between the answer and the
// marking window, Ctrl+S and Ctrl+N from the tool windows.
#include "base/DataTree.h"
#include "gui/ModalWatch.h"
#include "gui/ProgramFixture.h"
#include "gui/archive/TArchivum.h"
#include "gui/common/Widgets.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QtTest>

namespace {

struct Keys {
    TestRoot root;
    std::unique_ptr<ProgramFixture> p;

    Keys() {
        DataTree::layDown(root.root(), DataTree::defaultTreeDir());
        p = std::make_unique<ProgramFixture>(root);
        p->forms.fomenu->show();
        p->unlock();
        p->trigger("Jells1");
    }
    QWidget* window(const QString& name) const {
        ProgramWindows& w = p->forms;
        if (name == QLatin1String("valasz"))
            return w.valasz();
        if (name == QLatin1String("kepForm"))
            return w.kepForm();
        if (name == QLatin1String("jeloles"))
            return w.jeloles();
        if (name == QLatin1String("archivum"))
            return w.archivum();
        return w.fomenu;
    }
    // The window activated, and where its keys go.
    QWidget* activate(QWidget* window) const {
        window->show();
        Widgets::activate(window);
        if (!QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }))
            return nullptr;
        return window->focusWidget() ? window->focusWidget() : window;
    }
};

} // namespace

// One run for all the cases: laying the installation down takes a while. Each case sets the
// picture it starts from; the new examination comes last.
class TestKeys : public QObject {
    Q_OBJECT
    std::unique_ptr<Keys> m_keys;

private slots:
    void initTestCase() { m_keys = std::make_unique<Keys>(); }
    void cleanupTestCase() { m_keys.reset(); }

    // Catches a key that steps nothing, steps past 1 or 24, is taken from the answer's editor
    // (which scrolls with PgDown itself), or hands the keyboard to the answer window while the
    // examiner codes in the marking window.
    void picturesStep_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("keyboard"); // the window that has it afterwards
        const int ctrl = Qt::ControlModifier;
        QTest::newRow("answer, Ctrl+PgDown")
            << QStringLiteral("valasz") << int(Qt::Key_PageDown) << ctrl << 3 << 4 << QStringLiteral("valasz");
        QTest::newRow("answer, Ctrl+PgUp at 1")
            << QStringLiteral("valasz") << int(Qt::Key_PageUp) << ctrl << 1 << 1 << QStringLiteral("valasz");
        QTest::newRow("answer, PgDown scrolls")
            << QStringLiteral("valasz") << int(Qt::Key_PageDown) << 0 << 3 << 3 << QStringLiteral("valasz");
        QTest::newRow("picture, Ctrl+PgDown")
            << QStringLiteral("kepForm") << int(Qt::Key_PageDown) << ctrl << 3 << 4 << QStringLiteral("valasz");
        QTest::newRow("marking, PgDown") << QStringLiteral("jeloles") << int(Qt::Key_PageDown) << 0 << 3 << 4
                                         << QStringLiteral("jeloles");
        QTest::newRow("marking, PgUp") << QStringLiteral("jeloles") << int(Qt::Key_PageUp) << 0 << 3 << 2
                                       << QStringLiteral("jeloles");
        QTest::newRow("marking, Ctrl+PgDown at 24")
            << QStringLiteral("jeloles") << int(Qt::Key_PageDown) << ctrl << 24 << 24 << QStringLiteral("jeloles");
    }
    void picturesStep() {
        QFETCH(QString, window);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, keyboard);
        Keys& k = *m_keys;
        k.p->session.selectPicture(from);
        QWidget* target = k.activate(k.window(window));
        QVERIFY(target);
        QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(k.p->session.currentPicture(), to);
        // Whatever activation the step asked for has arrived by now.
        QTest::qWait(100);
        QCOMPARE(QApplication::activeWindow(), k.window(keyboard));
    }

    // Catches letters that do not reach the codes, a third code entered past the deletion
    // dialog, and Delete that does not open it.
    void codesTyped() {
        Keys& k = *m_keys;
        k.p->session.selectPicture(3);
        QWidget* marking = k.p->forms.jeloles();
        QVERIFY(k.activate(marking));
        k.p->forms.jeloles()->takeKeyboard();
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("NEEE"));
        QCOMPARE(k.p->session.coding().line(3).field(2), QStringLiteral("NEEE"));

        // A third code asks for room first; the first code deleted, the new one goes in.
        TJelCsere* deletion = k.p->forms.jelCsere();
        QString caption;
        ModalWatch watch(deletion, [&] {
            caption = deletion->windowTitle();
            k.p->child<QPushButton>(deletion, "Button3")->setChecked(true);
            k.p->child<QPushButton>(deletion, "OKBtn")->click();
        });
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("KE"));
        QVERIFY(watch.seen);
        QCOMPARE(caption, QStringLiteral("Túl sok jel !!!"));
        QCOMPARE(k.p->session.coding().line(3).field(2), QStringLiteral("EE"));
        QCOMPARE(k.p->session.coding().line(3).field(3), QStringLiteral("KE"));

        ModalWatch again(deletion, [&] {
            caption = deletion->windowTitle();
            k.p->child<QPushButton>(deletion, "OKBtn")->click();
        });
        QVERIFY(k.activate(marking));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
        QVERIFY(again.seen);
        QCOMPARE(caption, QStringLiteral("Törlés!"));
    }

    // Catches F1 showing the guide's start whatever window is in front, and a heading of the
    // help that the texts no longer hold.
    void helpOfTheWindowInFront_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("chapter");
        QTest::addColumn<QString>("heading"); // the line at the top; empty for the chapter's start
        QTest::newRow("main window") << QStringLiteral("fomenu") << 1 << QString();
        QTest::newRow("answer window") << QStringLiteral("valasz") << 1 << QStringLiteral("3. FELVÉTEL");
        QTest::newRow("marking window") << QStringLiteral("jeloles") << 2 << QStringLiteral("4. A JEL BEVITELE");
        QTest::newRow("archive") << QStringLiteral("archivum") << 1 << QStringLiteral("4. MENTÉS ÉS MEGNYITÁS");
    }
    void helpOfTheWindowInFront() {
        QFETCH(QString, window);
        QFETCH(int, chapter);
        QFETCH(QString, heading);
        Keys& k = *m_keys;
        QWidget* target = k.activate(k.window(window));
        QVERIFY(target);
        QTest::keyClick(target, Qt::Key_F1);
        THelpAblak* help = k.p->forms.helpAblak();
        QVERIFY(help->isVisible());
        QCOMPARE(help->currentHelpFile(), k.root.root().helpChapter(chapter));
        auto* text = k.p->child<QPlainTextEdit>(help, "Memo1");
        if (heading.isEmpty())
            QCOMPARE(text->textCursor().position(), 0);
        else
            QVERIFY2(text->textCursor().block().text().startsWith(heading), qPrintable(heading));
    }

    // Catches the menus' keys working only while the main window is in front.
    void menuKeysFromTheAnswerWindow() {
        Keys& k = *m_keys;
        QWidget* memo = k.activate(k.p->forms.valasz());
        QVERIFY(memo);
        const qsizetype dialogs = k.p->platform.dialogs.size();
        QTest::keyClick(memo, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(k.p->platform.dialogs.size(), dialogs + 1);
        QVERIFY(k.p->platform.dialogs.last().save);

        k.p->platform.setNextAnswer(false); // nothing to save
        ModalWatch personal(k.p->forms.szemAd(),
                            [&] { k.p->child<QPushButton>(k.p->forms.szemAd(), "BitBtn1")->click(); });
        QTest::keyClick(k.activate(k.p->forms.valasz()), Qt::Key_N, Qt::ControlModifier);
        QVERIFY(personal.seen);

        // F6 to the marking window and back.
        QTest::keyClick(k.activate(k.p->forms.valasz()), Qt::Key_F6);
        QTRY_COMPARE(QApplication::activeWindow(), k.p->forms.jeloles());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
        QTRY_COMPARE(QApplication::activeWindow(), k.p->forms.valasz());
        QCOMPARE(QApplication::focusWidget(), k.p->answerMemo());
    }
};

QTEST_MAIN(TestKeys)
#include "tst_keys.moc"
