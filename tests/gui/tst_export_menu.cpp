// "File" -> "Exportálás CSV-be…" on the real main window, with the scripted platform.
#include "base/TextFile.h"
#include "formats/ExaminationFile.h"
#include "formats/PasswordStore.h"
#include "gui/ProgramFixture.h"
#include "gui/shell/Tfomenu.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray examinationBytes(const QString& name, qint32 age) {
    ExaminationData data;
    data.personal.name = name;
    data.personal.age = age;
    data.personal.date = QStringLiteral("2007.03.05.");
    data.personal.examiner = QStringLiteral("Kovács Éva");
    data.personal.sex = PersonalData::Sex::Girl;
    for (int p = 1; p <= 20; ++p)
        data.lines[static_cast<size_t>(p - 1)].field(2) = QStringLiteral("NE");
    data.lines[0].field(1) = QStringLiteral("EV");
    return ExaminationFile::serialize(data);
}

struct Archive : ProgramFixture {
    explicit Archive(bool withArchive = true)
        : ProgramFixture([withArchive](TestRoot& root) {
              root.put(QStringLiteral("gy_vkt/standard.dat"), PasswordStore::defaultStoreBytes());
              if (!withArchive)
                  return;
              root.put(QStringLiteral("gy_vkt/archivum/b_gyerek.kvx"),
                       examinationBytes(QStringLiteral("Bátor, \"Bori\""), 9));
              root.put(QStringLiteral("gy_vkt/archivum/a_gyerek.kvx"), examinationBytes(QStringLiteral("Ábel"), 12));
              root.put(QStringLiteral("gy_vkt/archivum/hibas.kvx"), "csak egy sor\r\n");
              root.put(QStringLiteral("gy_vkt/archivum/jegyzet.txt"), "nem vizsgálat\r\n");
          }) {
        program->start();
        platform.messages.clear();
    }
    QAction* exportItem() const { return action("Exportals1"); }
};

} // namespace

class TestExportMenu : public QObject {
    Q_OBJECT
private slots:
    void itemFollowsTheLock();
    void exportsTheWholeArchiveAnonymously();
    void exportsWithPersonalData();
    void cancelledDialogWritesNothing();
    void emptyArchive();
    void failuresBecomeMessages();
};

void TestExportMenu::itemFollowsTheLock() {
    Archive p;
    QMenu* file = p.forms.fomenu->menuBar()->findChild<QMenu*>(QStringLiteral("nn1"));
    QVERIFY(file->actions().contains(p.exportItem()));
    QCOMPARE(p.exportItem()->text(), QStringLiteral("Exportálás CSV-be…"));
    QVERIFY(!p.exportItem()->isEnabled());
    QVERIFY(!file->isEnabled());
    p.unlock();
    QVERIFY(p.exportItem()->isEnabled());
    QVERIFY(file->isEnabled());
}

void TestExportMenu::exportsTheWholeArchiveAnonymously() {
    Archive p;
    p.unlock();
    QTemporaryDir out;
    const QString target = out.filePath(QStringLiteral("kutatas.csv"));
    const QString link = out.filePath(QStringLiteral("kulcs.csv"));
    p.platform.setNextAnswer(true);
    p.platform.setNextFileName(target);
    p.platform.setNextAnswer(true);
    p.platform.setNextFileName(link);
    p.trigger("Exportals1");

    QCOMPARE(p.platform.questions.size(), 2);
    QVERIFY(p.platform.questions.first().startsWith(QStringLiteral("Anonim legyen az export?\n\nIgen: ")));
    QVERIFY(p.platform.questions.last().startsWith(QStringLiteral("Készüljön kapcsolótábla is?\n\nIgen: ")));
    QCOMPARE(p.platform.dialogs.size(), 2);
    const ScriptedPlatform::DialogCall& call = p.platform.dialogs.first();
    QVERIFY(call.save);
    QCOMPARE(call.dialog.filter, QStringLiteral("CSV-fájl (*.csv)|*.csv|minden fájl (*.*)|*.*"));
    QCOMPARE(call.dialog.defaultSuffix, QStringLiteral("csv"));
    QCOMPARE(call.dialog.fileName, QStringLiteral("vkt_archivum_anonim.csv"));
    QVERIFY(call.dialog.overwritePrompt);

    const QString codebook = out.filePath(QStringLiteral("kutatas.codebook.csv"));
    QCOMPARE(p.platform.messages,
             QStringList{QStringLiteral("Az export elkészült Excel magyar beállításaihoz\n(pontosvessző, "
                                        "tizedesvessző).\n\nTáblázat: %1\nAz oszlopok leírása: %2\n\n3 vizsgálat, "
                                        "ebből hibás: 1. A hibás sorok error oszlopa mondja meg, mi a baj.\n\n"
                                        "Kapcsolótábla: %3\nEzt őrizze az exporttól külön.")
                             .arg(QDir::toNativeSeparators(target), QDir::toNativeSeparators(codebook),
                                  QDir::toNativeSeparators(link))});
    const QByteArray table = readFileBytes(target);
    QVERIFY(table.startsWith("\xEF\xBB\xBF"
                             "code;sex;age;date;p1_od;p1_ed;"));
    // The serial the link table gives a_gyerek is on the 12-year-old's row.
    const QByteArray links = readFileBytes(link);
    const qsizetype at = links.indexOf(";" + p.testRoot.root().archiveFolder().toUtf8() + "/a_gyerek.kvx;A_GYEREK\r\n");
    QVERIFY(at > 5);
    QVERIFY(table.contains("\r\n" + links.mid(at - 5, 5) + ";girl;12;2007.03.;EV;NE;;;;NE;"));
    QVERIFY(table.contains(";girl;9;2007.03.;EV;NE;"));
    QCOMPARE(table.count("\r\n"), 4);
    for (const char* secret : {"\xC3\x81"
                               "bel",
                               "B\xC3\xA1tor",
                               "Kov\xC3\xA1"
                               "cs",
                               "gyerek", "hibas", "kvx"})
        QVERIFY2(!table.contains(secret), secret);
    QVERIFY(readFileBytes(codebook).startsWith("\xEF\xBB\xBF"
                                               "name;description_hu;description_en;type;values\r\n"));
    // The examinations are only read.
    QCOMPARE(p.testRoot.get(QStringLiteral("gy_vkt/archivum/b_gyerek.kvx")),
             examinationBytes(QStringLiteral("Bátor, \"Bori\""), 9));
}

void TestExportMenu::exportsWithPersonalData() {
    Archive p;
    p.unlock();
    QTemporaryDir out;
    const QString target = out.filePath(QStringLiteral("teljes.csv"));
    p.platform.setNextAnswer(false);
    p.platform.setNextFileName(target);
    p.trigger("Exportals1");
    QCOMPARE(p.platform.dialogs.first().dialog.fileName, QStringLiteral("vkt_archivum.csv"));
    const QByteArray table = readFileBytes(target);
    QVERIFY(table.startsWith("\xEF\xBB\xBF"
                             "file;code;name;sex;age;date;examiner;"));
    // The quotes in the name make it a quoted field; its comma alone would not, with ";" between fields.
    QVERIFY(table.contains(";B_GYEREK;\"B\xC3\xA1tor, \"\"Bori\"\"\";girl;9;2007.03.05.;Kov\xC3\xA1"
                           "cs \xC3\x89va;"));
    QCOMPARE(p.platform.messages.size(), 1);
}

void TestExportMenu::cancelledDialogWritesNothing() {
    Archive p;
    p.unlock();
    p.platform.setNextAnswer(true);
    p.trigger("Exportals1");
    QCOMPARE(p.platform.dialogs.size(), 1);
    QVERIFY(p.platform.messages.isEmpty());
    QStringList written = QDir(p.testRoot.root().archiveFolder()).entryList({QStringLiteral("*.csv")}, QDir::Files);
    QVERIFY(written.isEmpty());
}

void TestExportMenu::emptyArchive() {
    Archive p(false);
    p.unlock();
    p.trigger("Exportals1");
    QVERIFY(p.platform.questions.isEmpty());
    QVERIFY(p.platform.dialogs.isEmpty());
    QCOMPARE(p.platform.messages,
             QStringList{QStringLiteral("Az archívumban (%1) nincs vizsgálati fájl, nincs mit exportálni.")
                             .arg(QDir::toNativeSeparators(p.testRoot.root().archiveFolder()))});
}

void TestExportMenu::failuresBecomeMessages() {
    Archive p;
    p.unlock();
    QTemporaryDir out;
    // A folder that does not exist: the write fails, the message says where.
    const QString nowhere = out.filePath(QStringLiteral("nincs/ilyen.csv"));
    p.platform.setNextAnswer(true);
    p.platform.setNextFileName(nowhere);
    p.platform.setNextAnswer(false); // no link table
    p.trigger("Exportals1");
    QCOMPARE(p.platform.messages.size(), 1);
    QVERIFY2(p.platform.messages.first().contains(nowhere), qPrintable(p.platform.messages.first()));
    QVERIFY(!QFileInfo::exists(nowhere));

    // Choosing an examination of the archive as the target ("minden fájl") must not cost it.
    const QString exam = p.testRoot.root().archiveFolder() + QStringLiteral("/a_gyerek.kvx");
    const QByteArray before = readFileBytes(exam);
    p.platform.messages.clear();
    p.platform.setNextAnswer(false);
    p.platform.setNextFileName(exam);
    p.trigger("Exportals1");
    QCOMPARE(p.platform.messages,
             QStringList{QStringLiteral("Az export nem írhatja felül a beolvasott vizsgálati fájlt: ") + exam});
    QCOMPARE(readFileBytes(exam), before);

    // Without the GCR key nothing can be evaluated; nothing is written.
    QFile::remove(p.testRoot.root().gcrKeyFile());
    p.platform.messages.clear();
    const QString target = out.filePath(QStringLiteral("kulcs.csv"));
    p.platform.setNextAnswer(false);
    p.platform.setNextFileName(target);
    p.trigger("Exportals1");
    QCOMPARE(p.platform.messages.size(), 1);
    QVERIFY(!QFileInfo::exists(target));
}

QTEST_MAIN(TestExportMenu)
#include "tst_export_menu.moc"
