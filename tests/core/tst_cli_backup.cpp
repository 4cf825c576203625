// gyvkt-cli backup, verify and restore as a user runs them: a passphrase file, the program's
// own key derivation, a restore that gives back the same bytes, and refusals that write nothing.
#include "CliRun.h"
#include "TestRoot.h"

#include <QDir>
#include <QFileInfo>
#include <QtTest>

class CliBackupTest : public QObject {
    Q_OBJECT
private slots:
    void backupVerifyRestore();
    void shortPassphraseWritesNothing();
};

void CliBackupTest::backupVerifyRestore() {
    TestRoot root;
    root.put(QStringLiteral("gy_vkt/archivum/Kovács Ödön.kvx"), "vizsg\xe1lat\r\n");
    root.put(QStringLiteral("gy_vkt/archivum/B.kvx"), "m\xe1sik\r\n");
    root.put(QStringLiteral("gy_vkt/standard.dat"), "jelsz\xf3\r\n");
    QTemporaryDir work;
    const QString pass = work.filePath(QStringLiteral("jelszo.txt"));
    const QString wrong = work.filePath(QStringLiteral("rossz.txt"));
    {
        QFile f(pass);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("tizenkét betűnél hosszabb\r\nmásodik sor\n");
        QFile g(wrong);
        QVERIFY(g.open(QIODevice::WriteOnly));
        g.write("tizenkét betűnél hosszabb!\n");
    }
    const QString file = work.filePath(QStringLiteral("mentes.vktmentes"));
    // A locale without accented letters must not lose (or trip over) the accented names.
    CliRun r = runCli({QStringLiteral("backup"), QStringLiteral("-o"), file, QStringLiteral("--passphrase-file"), pass},
                      QString(), {QStringLiteral("TAVRIX_ROOT=") + root.path(), QStringLiteral("LC_ALL=C")});
    QVERIFY2(r.status == 0, r.err.constData());

    r = runCli({QStringLiteral("verify"), file, QStringLiteral("--passphrase-file"), pass});
    QCOMPARE(r.status, 0);
    QVERIFY(r.out.contains("F\xc3\xa1jlok: 3\n"));
    QVERIFY(r.out.contains("Vizsg\xc3\xa1latok: 2\n"));

    // The second line of the file is not part of the passphrase; another passphrase opens nothing.
    const QString target = work.filePath(QStringLiteral("vissza"));
    r = runCli(
        {QStringLiteral("restore"), file, QStringLiteral("--to"), target, QStringLiteral("--passphrase-file"), wrong});
    QCOMPARE(r.status, 2);
    QVERIFY(QString::fromUtf8(r.err).contains(QStringLiteral("hibás a jelszó")));
    QVERIFY(!QFileInfo::exists(target));

    r = runCli(
        {QStringLiteral("restore"), file, QStringLiteral("--to"), target, QStringLiteral("--passphrase-file"), pass});
    QVERIFY2(r.status == 0, r.err.constData());
    QCOMPARE(readFileBytes(target + QStringLiteral("/gy_vkt/archivum/Kovács Ödön.kvx")),
             root.get(QStringLiteral("gy_vkt/archivum/Kovács Ödön.kvx")));

    // The folder is no longer empty: a second restore into it is refused before anything else.
    r = runCli(
        {QStringLiteral("restore"), file, QStringLiteral("--to"), target, QStringLiteral("--passphrase-file"), pass});
    QCOMPARE(r.status, 2);
    QVERIFY(QString::fromUtf8(r.err).contains(QStringLiteral("nem üres")));
    QCOMPARE(QDir(work.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(), 4);
}

void CliBackupTest::shortPassphraseWritesNothing() {
    TestRoot root;
    QTemporaryDir work;
    const QString pass = work.filePath(QStringLiteral("p.txt"));
    QFile f(pass);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("tizenegy-bt\n");
    f.close();
    const QString file = work.filePath(QStringLiteral("m.vktmentes"));
    const CliRun r = runCli({QStringLiteral("backup"), QStringLiteral("-o"), file, QStringLiteral("--root"),
                             root.path(), QStringLiteral("--passphrase-file"), pass});
    QCOMPARE(r.status, 2);
    QVERIFY(QString::fromUtf8(r.err).contains(QStringLiteral("legalább 12 karakter")));
    QCOMPARE(QDir(work.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{QStringLiteral("p.txt")});
}

QTEST_GUILESS_MAIN(CliBackupTest)
#include "tst_cli_backup.moc"
