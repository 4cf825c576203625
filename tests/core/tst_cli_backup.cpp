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
    void refusalsWriteNothing_data();
    void refusalsWriteNothing();
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

    // A backup made by a script counts as much as one from the menu, in the root and in what is
    // restored from it.
    const QByteArray record = root.get(QStringLiteral("gy_vkt/utolso_mentes.txt"));
    QVERIFY(!record.isEmpty());

    r = runCli({QStringLiteral("verify"), file, QStringLiteral("--passphrase-file"), pass});
    QCOMPARE(r.status, 0);
    // The three files and the record of this backup.
    QVERIFY(r.out.contains("F\xc3\xa1jlok: 4\n"));
    QVERIFY(r.out.contains("Vizsg\xc3\xa1latok: 2\n"));

    // The second line of the file is not part of the passphrase; another passphrase opens nothing.
    const QString target = work.filePath(QStringLiteral("vissza"));
    r = runCli(
        {QStringLiteral("restore"), file, QStringLiteral("--to"), target, QStringLiteral("--passphrase-file"), wrong});
    QCOMPARE(r.status, 2);
    QVERIFY(QString::fromUtf8(r.err).contains(QStringLiteral("hibás a jelszó")));
    QVERIFY(!QFileInfo::exists(target));

    // What a killed restore left: a decrypted copy of the data.
    const QString killed = work.filePath(QStringLiteral(".vissza.visszaallitas-Ab12Cd"));
    QVERIFY(QDir().mkpath(killed + QStringLiteral("/gy_vkt")));
    r = runCli(
        {QStringLiteral("restore"), file, QStringLiteral("--to"), target, QStringLiteral("--passphrase-file"), pass});
    QVERIFY2(r.status == 0, r.err.constData());
    QCOMPARE(readFileBytes(target + QStringLiteral("/gy_vkt/archivum/Kovács Ödön.kvx")),
             root.get(QStringLiteral("gy_vkt/archivum/Kovács Ödön.kvx")));
    QCOMPARE(readFileBytes(target + QStringLiteral("/gy_vkt/utolso_mentes.txt")), record);
    QVERIFY(!QFileInfo::exists(killed));
    QVERIFY(QString::fromUtf8(r.err).contains(QStringLiteral("maradéka törölve: ") + QDir::toNativeSeparators(killed)));

    // The folder is no longer empty: a second restore into it is refused before anything else.
    r = runCli(
        {QStringLiteral("restore"), file, QStringLiteral("--to"), target, QStringLiteral("--passphrase-file"), pass});
    QCOMPARE(r.status, 2);
    QVERIFY(QString::fromUtf8(r.err).contains(QStringLiteral("nem üres")));
    QCOMPARE(QDir(work.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(), 4);
}

void CliBackupTest::refusalsWriteNothing_data() {
    // ROOT, WORK and PASS stand for the data root, the working folder and a good passphrase file.
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    const QString root = QStringLiteral("ROOT");
    const auto backup = [&](const QString& out, const QString& pass) {
        return QStringList{QStringLiteral("backup"),
                           QStringLiteral("-o"),
                           out,
                           QStringLiteral("--root"),
                           root,
                           QStringLiteral("--passphrase-file"),
                           pass};
    };
    QTest::newRow("output an examination of the root")
        << backup(QStringLiteral("ROOT/gy_vkt/archivum/MINTA.kvx"), QStringLiteral("PASS"))
        << QStringLiteral("nem kerülhet a mentett mappába");
    QTest::newRow("output a folder") << backup(QStringLiteral("WORK"), QStringLiteral("PASS"))
                                     << QStringLiteral("A mentés helyén mappa áll: ");
    QTest::newRow("passphrase file missing")
        << backup(QStringLiteral("WORK/m.vktmentes"), QStringLiteral("WORK/nincs.txt"))
        << QStringLiteral("A jelszófájl nem létezik: ");
    QTest::newRow("passphrase file a folder") << backup(QStringLiteral("WORK/m.vktmentes"), QStringLiteral("WORK"))
                                              << QStringLiteral("A jelszófájl helyén mappa áll: ");
    QTest::newRow("passphrase too short") << backup(QStringLiteral("WORK/m.vktmentes"), QStringLiteral("WORK/p.txt"))
                                          << QStringLiteral("legalább 12 karakter");
    QTest::newRow("verify a folder") << QStringList{QStringLiteral("verify"), QStringLiteral("WORK"),
                                                    QStringLiteral("--passphrase-file"), QStringLiteral("PASS")}
                                     << QStringLiteral("Mappa, nem mentésfájl: ");
}

void CliBackupTest::refusalsWriteNothing() {
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    TestRoot root;
    root.put(QStringLiteral("gy_vkt/archivum/MINTA.kvx"), "vizsg\xe1lat\r\n");
    QTemporaryDir work;
    const QString pass = work.filePath(QStringLiteral("jelszo.txt"));
    for (const auto& [name, bytes] :
         {std::pair{QStringLiteral("jelszo.txt"), QByteArray("tizenkét betűnél hosszabb\n")},
          std::pair{QStringLiteral("p.txt"), QByteArray("tizenegy-bt\n")}}) {
        QFile f(work.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    for (QString& arg : args)
        arg.replace(QStringLiteral("ROOT"), root.path())
            .replace(QStringLiteral("WORK"), work.path())
            .replace(QStringLiteral("PASS"), pass);
    const CliRun r = runCli(args);
    QCOMPARE(r.status, 2);
    // In the program's own words, naming what is wrong.
    const QString err = QString::fromUtf8(r.err);
    QVERIFY2(err.contains(message) && !err.contains(QStringLiteral("Cannot")), r.err.constData());
    QCOMPARE(QDir(work.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             (QStringList{QStringLiteral("jelszo.txt"), QStringLiteral("p.txt")}));
    QCOMPARE(root.get(QStringLiteral("gy_vkt/archivum/MINTA.kvx")), QByteArray("vizsg\xe1lat\r\n"));
    QCOMPARE(QDir(root.path() + QStringLiteral("/gy_vkt")).entryList(QDir::Files | QDir::Hidden), QStringList());
}

QTEST_GUILESS_MAIN(CliBackupTest)
#include "tst_cli_backup.moc"
