// A disk that fills up or fails at any step of any write the program makes: the old file stays
// byte for byte, nothing half-written is left beside it, the user is told which file, and what
// was typed stays in the program so that it can be saved again once there is room.
#include "base/AtomicFile.h"
#include "base/TextFile.h"
#include "formats/ExaminationFile.h"
#include "formats/LayoutFile.h"
#include "formats/PasswordStore.h"
#include "gui/ModalWatch.h"
#include "gui/ProgramFixture.h"
#include "tst_marking_helpers.h"

#include <QDir>
#include <QDirIterator>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>

#include <functional>

Q_DECLARE_METATYPE(AtomicFile::Step)

namespace {

QByteArray oldBytes(const QString& what) {
    return "r\xe9gi " + what.toUtf8() + "\r\n";
}

void prepareRoot(TestRoot& root) {
    root.put(QStringLiteral("gy_vkt/standard.dat"), PasswordStore::defaultStoreBytes());
    QList<LayoutFile::Geometry> g;
    for (int i = 0; i < 8; ++i)
        g.append({10 * i, 20 + i, 200 + i, 300 + i});
    root.put(QStringLiteral("gy_vkt/jeloles.cfg"), TextFile::encodeLines(LayoutFile::serialize(g)));
    const QByteArray picture = bitmapBytes(Qt::white, 32, 40);
    for (int n = 1; n <= 24; ++n) {
        root.put(QStringLiteral("gy_vkt/pictures/%1.bmp").arg(n), picture);
        root.put(QStringLiteral("gy_vkt/aktualis/%1.val").arg(n), oldBytes(QStringLiteral("válasz %1").arg(n)));
    }
    root.put(QStringLiteral("gy_vkt/help/instruk.txt"), oldBytes(QStringLiteral("instrukció")));
    root.put(QStringLiteral("gy_vkt/help/irod_1.txt"), oldBytes(QStringLiteral("súgó")));
    root.put(QStringLiteral("gy_vkt/peldatar/4_5.txt"), oldBytes(QStringLiteral("példa")));
    root.put(QStringLiteral("gy_vkt/vv.txt"), oldBytes(QStringLiteral("vizsgálatvezető")));
    root.put(QStringLiteral("gy_vkt/html/ABC.html"), oldBytes(QStringLiteral("jegyzőkönyv")));
    root.put(QStringLiteral("gy_vkt/archivum/ABC.kvx"), oldBytes(QStringLiteral("vizsgálat")));
    ExaminationData other;
    other.personal.name = QStringLiteral("Másik Gyerek");
    for (QString& answer : other.answers)
        answer = QStringLiteral("más\r\n");
    root.put(QStringLiteral("gy_vkt/archivum/MAS.kvx"), ExaminationFile::serialize(other));
}

// Every file below the data root with its bytes: nothing may change but what the case names.
QMap<QString, QByteArray> snapshot(const TestRoot& root) {
    QMap<QString, QByteArray> files;
    QDirIterator it(root.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!path.endsWith(QLatin1String(".gyvkt.lock")))
            files.insert(path, readFileBytes(path));
    }
    return files;
}

QPlainTextEdit* memoOf(QWidget* window, const char* name = "Memo1") {
    return window->findChild<QPlainTextEdit*>(QLatin1String(name));
}

struct Case {
    const char* name;
    const char* file; // the write that fails, below the data root
    std::function<void(ProgramFixture&)> prepare;
    std::function<void(ProgramFixture&)> act;
    // What must still hold in the program after the failed write.
    std::function<void(ProgramFixture&)> kept;
    // An empty file has no middle to run out of room in.
    bool hasBytes = true;
};

const QList<Case>& cases() {
    static const QList<Case> all{
        {"answer typed", "gy_vkt/aktualis/5.val",
         [](ProgramFixture& p) {
             p.forms.kepForm()->selectPicture(5);
             p.answerMemo()->setPlainText(QStringLiteral("új válasz"));
             p.answerMemo()->document()->setModified(true);
         },
         [](ProgramFixture& p) { p.forms.kepForm()->selectPicture(6); },
         [](ProgramFixture& p) {
             QCOMPARE(p.session.currentPicture(), 5);
             QCOMPARE(p.answerMemo()->toPlainText(), QStringLiteral("új válasz"));
             QVERIFY(p.answerMemo()->document()->isModified());
         }},
        {"examination saved", "gy_vkt/archivum/ABC.kvx",
         [](ProgramFixture& p) {
             p.session.setName(QStringLiteral("Mentendő"));
             p.platform.setNextFileName(p.testRoot.root().archiveFolder() + QStringLiteral("/ABC.kvx"));
         },
         [](ProgramFixture& p) { QVERIFY(!p.program->commands().save()); },
         [](ProgramFixture& p) { QCOMPARE(p.session.personal().name, QStringLiteral("Mentendő")); }},
        {"protocol", "gy_vkt/html/ABC.html",
         [](ProgramFixture& p) {
             p.session.setCode(QStringLiteral("ABC"));
             for (int n = 1; n <= 18; ++n)
                 p.setField(n, 1, QStringLiteral("EV"));
         },
         [](ProgramFixture& p) { p.program->commands().finishedProtocol(); },
         [](ProgramFixture& p) { QVERIFY(p.platform.openedDocuments.isEmpty()); }},
        {"layout", "gy_vkt/jeloles.cfg", [](ProgramFixture& p) { p.program->arrangements().marking(); },
         [](ProgramFixture& p) { p.program->arrangements().saveLayout(); }, [](ProgramFixture&) {}},
        {"password store", "gy_vkt/standard.dat", [](ProgramFixture&) {},
         [](ProgramFixture& p) {
             bool refused = false;
             ModalWatch watch(p.forms.pwForm(), [&] {
                 p.child<QLineEdit>(p.forms.pwForm(), "Edit1")->setText(QStringLiteral("123456"));
                 p.child<QLineEdit>(p.forms.pwForm(), "Edit2")->setText(QStringLiteral("654321"));
                 p.child<QLineEdit>(p.forms.pwForm(), "Edit3")->setText(QStringLiteral("654321"));
                 p.child<QPushButton>(p.forms.pwForm(), "Button1")->click();
                 refused = p.child<QWidget>(p.forms.pwForm(), "Panel3")->isVisible();
                 p.child<QPushButton>(p.forms.pwForm(), "Button3")->click();
             });
             p.forms.pwForm()->exec();
             QVERIFY(watch.seen);
             QVERIFY(refused);
         },
         [](ProgramFixture& p) { QCOMPARE(p.session.programPassword(), QStringLiteral("123456")); }},
        {"examiner list", "gy_vkt/vv.txt",
         [](ProgramFixture& p) {
             p.forms.vvLista()->openList(QStringLiteral("vv"));
             memoOf(p.forms.vvLista())->setPlainText(QStringLiteral("Új Név"));
         },
         [](ProgramFixture& p) { p.child<QPushButton>(p.forms.vvLista(), "kesz")->click(); },
         [](ProgramFixture& p) {
             QVERIFY(p.forms.vvLista()->isVisible());
             QCOMPARE(memoOf(p.forms.vvLista())->toPlainText(), QStringLiteral("Új Név"));
         }},
        {"help chapter", "gy_vkt/help/irod_1.txt",
         [](ProgramFixture& p) {
             p.forms.helpAblak()->showChapter(1);
             memoOf(p.forms.helpAblak())->setPlainText(QStringLiteral("átírt súgó"));
         },
         [](ProgramFixture& p) { p.forms.helpAblak()->findChild<QAction*>(QStringLiteral("ments1"))->trigger(); },
         [](ProgramFixture& p) {
             QVERIFY(p.forms.helpAblak()->findChild<QAction*>(QStringLiteral("ments1"))->isEnabled());
             QCOMPARE(memoOf(p.forms.helpAblak())->toPlainText(), QStringLiteral("átírt súgó"));
         }},
        {"example", "gy_vkt/peldatar/4_5.txt",
         [](ProgramFixture& p) {
             p.forms.peldatar()->showExamples(4, 5);
             memoOf(p.forms.peldatar())->setPlainText(QStringLiteral("új példa"));
         },
         [](ProgramFixture& p) { p.child<QPushButton>(p.forms.peldatar(), "Button1")->click(); },
         [](ProgramFixture& p) { QCOMPARE(memoOf(p.forms.peldatar())->toPlainText(), QStringLiteral("új példa")); }},
        {"instruction", "gy_vkt/help/instruk.txt",
         [](ProgramFixture& p) {
             p.forms.vvInstr()->show();
             memoOf(p.forms.vvInstr())->setPlainText(QStringLiteral("új instrukció"));
         },
         [](ProgramFixture& p) { p.forms.vvInstr()->close(); },
         [](ProgramFixture& p) {
             QCOMPARE(memoOf(p.forms.vvInstr())->toPlainText(), QStringLiteral("új instrukció"));
         }},
        {"answers of an opened examination", "gy_vkt/aktualis/7.val",
         [](ProgramFixture& p) {
             p.session.setName(QStringLiteral("Marad"));
             p.platform.setNextAnswer(false);
         },
         [](ProgramFixture& p) {
             QVERIFY(!p.program->commands().openFile(p.testRoot.root().archiveFolder() + QStringLiteral("/MAS.kvx")));
         },
         [](ProgramFixture& p) { QCOMPARE(p.session.personal().name, QStringLiteral("Marad")); }},
        {"answers of a new examination", "gy_vkt/aktualis/3.val", [](ProgramFixture&) {},
         [](ProgramFixture& p) {
             ModalWatch watch(p.forms.szemAd(), [&] { p.child<QPushButton>(p.forms.szemAd(), "BitBtn1")->click(); });
             p.platform.setNextAnswer(false);
             p.program->commands().newExamination();
             QVERIFY(!watch.seen);
         },
         [](ProgramFixture&) {}, false},
    };
    return all;
}

} // namespace

class TestFaults : public QObject {
    Q_OBJECT
private slots:
    void everyWriteKeepsTheOldFile_data();
    void everyWriteKeepsTheOldFile();
    void cleanup() { AtomicFile::injectFault(std::nullopt); }
};

void TestFaults::everyWriteKeepsTheOldFile_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<AtomicFile::Step>("step");
    QTest::addColumn<qint64>("room");
    for (int i = 0; i < cases().size(); ++i) {
        const char* name = cases().at(i).name;
        QTest::addRow("%s, disk full at once", name) << i << AtomicFile::Step::Write << qint64(0);
        if (cases().at(i).hasBytes)
            QTest::addRow("%s, disk full in the middle", name) << i << AtomicFile::Step::Write << qint64(3);
        QTest::addRow("%s, flush to disk fails", name) << i << AtomicFile::Step::Sync << qint64(0);
        QTest::addRow("%s, rename fails", name) << i << AtomicFile::Step::Rename << qint64(0);
    }
}

void TestFaults::everyWriteKeepsTheOldFile() {
    QFETCH(int, index);
    QFETCH(AtomicFile::Step, step);
    QFETCH(qint64, room);
    const Case& c = cases().at(index);
    ProgramFixture p(prepareRoot);
    p.program->start();
    p.platform.messages.clear();
    c.prepare(p);
    const QMap<QString, QByteArray> before = snapshot(p.testRoot);
    const QString failing = p.testRoot.path() + QLatin1Char('/') + QLatin1String(c.file);

    AtomicFile::injectFault(AtomicFile::Fault{step, room, QLatin1Char('/') + QLatin1String(c.file)});
    c.act(p);
    AtomicFile::injectFault(std::nullopt);

    QCOMPARE(p.platform.messages, QStringList{QStringLiteral("Cannot create file ") + failing +
                                              QStringLiteral("\nNincs elég hely a lemezen.")});
    const QMap<QString, QByteArray> after = snapshot(p.testRoot);
    QCOMPARE(after.keys(), before.keys());
    QCOMPARE(after.value(failing), before.value(failing));
    QVERIFY(after == before);
    c.kept(p);
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
