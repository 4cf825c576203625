// "File" → "Biztonsági mentés…" and what the program says about the data's safety once the
// password is accepted: each notice when it is due, none when it is not, once per start.
#include "app/BackupReminder.h"
#include "formats/BackupTree.h"
#include "formats/PasswordStore.h"
#include "gui/ModalWatch.h"
#include "gui/ProgramFixture.h"
#include "gui/backup/BackupCommand.h"
#include "gui/backup/TMentes.h"

#include <QPushButton>
#include <QtTest>

#include <sys/stat.h>

class BackupMenuTest : public QObject {
    Q_OBJECT
private slots:
    void noticesAfterThePassword_data();
    void noticesAfterThePassword();
    void backupFromTheMenu();
};

void BackupMenuTest::noticesAfterThePassword_data() {
    QTest::addColumn<int>("daysAgo"); // -1: no backup was ever made
    QTest::addColumn<int>("rootMode");
    QTest::addColumn<QStringList>("said");
    QTest::newRow("recent backup, closed folder") << 29 << 0700 << QStringList();
    QTest::newRow("never backed up") << -1 << 0700 << QStringList{QStringLiteral("Még nem készült biztonsági mentés")};
    QTest::newRow("backup too old") << 31 << 0700 << QStringList{QStringLiteral("31 napja készült")};
    QTest::newRow("folder open to others, old backup")
        << 40 << 0755 << QStringList{QStringLiteral("más felhasználói is megnyithatják"), QStringLiteral("40 napja")};
}

void BackupMenuTest::noticesAfterThePassword() {
    QFETCH(int, daysAgo);
    QFETCH(int, rootMode);
    QFETCH(QStringList, said);
    ProgramFixture f([&](TestRoot& root) {
        QFile::remove(root.root().lastBackupFile());
        if (daysAgo >= 0)
            BackupReminder::recordBackup(root.root(), QDateTime::currentDateTimeUtc().addDays(-daysAgo));
        ::chmod(QFile::encodeName(root.path()).constData(), static_cast<mode_t>(rootMode));
    });
    f.program->start();
    f.platform.messages.clear();
    f.unlock();
    QCOMPARE(f.platform.messages.size(), said.size());
    for (int i = 0; i < said.size(); ++i)
        QVERIFY2(f.platform.messages.at(i).contains(said.at(i)), qPrintable(f.platform.messages.at(i)));
    // Typing the password again says nothing new.
    f.forms.fomenu->enterPassword(QString());
    f.unlock();
    QCOMPARE(f.platform.messages.size(), said.size());
    ::chmod(QFile::encodeName(f.testRoot.path()).constData(), 0700);
}

void BackupMenuTest::backupFromTheMenu() {
    ProgramFixture f([](TestRoot& root) {
        QFile::remove(root.root().lastBackupFile());
        root.put(QStringLiteral("gy_vkt/archivum/Kiss Előd.kvx"), "vizsg\xe1lat\r\n");
    });
    f.program->backup().setKdfCost(BackupCipher::cheapestCost());
    f.program->start();
    f.unlock();
    f.platform.messages.clear();
    QTemporaryDir out;
    const QString file = out.filePath(QStringLiteral("mentes.vktmentes"));
    f.platform.setNextFileName(file);
    const QString passphrase = QStringLiteral("tizenkét betűnél is több");
    ModalWatch watch(f.forms.mentes(), [&] {
        f.child<QLineEdit>(f.forms.mentes(), "Edit1")->setText(passphrase);
        f.child<QLineEdit>(f.forms.mentes(), "Edit2")->setText(QStringLiteral("elgépelt, de elég hosszú"));
        f.child<QPushButton>(f.forms.mentes(), "BitBtn1")->click();
        f.child<QLineEdit>(f.forms.mentes(), "Edit2")->setText(passphrase);
        f.child<QPushButton>(f.forms.mentes(), "BitBtn1")->click();
    });
    f.trigger("Biztonsgimentes1");
    QVERIFY(watch.seen);
    QCOMPARE(f.platform.messages.size(), 2);
    QCOMPARE(f.platform.messages.first(), QStringLiteral("A két jelszó nem egyezik."));
    QVERIFY2(f.platform.messages.last().startsWith(QStringLiteral("A biztonsági mentés elkészült:\n") + file),
             qPrintable(f.platform.messages.last()));
    QVERIFY(f.platform.dialogs.last().save && f.platform.dialogs.last().dialog.overwritePrompt);
    QCOMPARE(BackupTree::verifyFile(file, passphrase.toUtf8()).examinations,
             QDir(f.session.root().archiveFolder()).entryList({QStringLiteral("*.kvx")}, QDir::Files).size());
    // The next start has nothing to remind of.
    QVERIFY(qAbs(BackupReminder::lastBackup(f.session.root())->secsTo(QDateTime::currentDateTimeUtc())) < 60);
}

QTEST_MAIN(BackupMenuTest)
#include "tst_backup_menu.moc"
