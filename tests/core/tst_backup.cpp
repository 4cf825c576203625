// The encrypted backup: what goes in comes back byte for byte with its times and modes; a
// backup that is damaged, cut, opened with the wrong passphrase or built to escape the target
// restores nothing; a full disk leaves no backup behind.
#include "TestRoot.h"
#include "base/AtomicFile.h"
#include "base/UserError.h"
#include "formats/BackupCipher.h"
#include "formats/BackupTree.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>
#include <QtTest>

#include <archive.h>
#include <archive_entry.h>
#include <sodium.h>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

Q_DECLARE_METATYPE(AtomicFile::Step)

namespace {

const QByteArray kPassphrase = "hosszú jelszó a mentéshez";
const BackupCipher::KdfCost kCheap = BackupCipher::cheapestCost();

// Every entry below a folder as lstat and the bytes (or link target) see it; on Windows its kind,
// time and bytes.
QMap<QString, QString> describe(const QString& folder) {
    QMap<QString, QString> tree;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
#ifdef Q_OS_WIN
        const QFileInfo info(path);
        QString what =
            QStringLiteral("%1 %2 ").arg(info.isDir() ? 'd' : 'f').arg(info.lastModified().toSecsSinceEpoch());
        if (info.isFile())
            what += QString::fromLatin1(readFileBytes(path).toHex());
#else
        struct stat st {};
        ::lstat(QFile::encodeName(path).constData(), &st);
        QString what = QStringLiteral("%1 %2 ").arg(st.st_mode, 0, 8).arg(st.st_mtim.tv_sec);
        if (S_ISLNK(st.st_mode))
            what += QFile::symLinkTarget(path) + QLatin1Char(' ') + QString::fromUtf8(QFile::encodeName(path));
        else if (S_ISREG(st.st_mode))
            what += QString::fromLatin1(readFileBytes(path).toHex());
#endif
        tree.insert(QDir(folder).relativeFilePath(path), what);
    }
    return tree;
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

void setTime(const QString& path, qint64 seconds, long nanoseconds) {
#ifdef Q_OS_WIN
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::fromMSecsSinceEpoch(seconds * 1000 + nanoseconds / 1000000),
                             QFileDevice::FileModificationTime));
#else
    const timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(seconds), nanoseconds}};
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW), 0);
#endif
}

// A pax archive made by hand, sealed as the program seals its own: the contents no backup
// of the program holds.
struct HostileEntry {
    QByteArray path;
    mode_t type;
    QByteArray target;     // link target, or hard link source
    qint64 sparseSize = 0; // a sparse file of this size holding only its first bytes
};
QByteArray sealedArchive(const QList<HostileEntry>& list) {
    archive* a = archive_write_new();
    archive_write_set_format_pax(a);
    QByteArray tar(1 << 20, '\0');
    size_t used = 0;
    archive_write_open_memory(a, tar.data(), static_cast<size_t>(tar.size()), &used);
    for (const HostileEntry& e : list) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, e.path.constData());
        archive_entry_set_filetype(entry, e.type);
        archive_entry_set_perm(entry, 0644);
        const QByteArray body = e.type == AE_IFREG && e.target.isEmpty() ? QByteArray("tartalom") : QByteArray();
        archive_entry_set_size(entry, e.sparseSize > 0 ? e.sparseSize : body.size());
        if (e.sparseSize > 0)
            archive_entry_sparse_add_entry(entry, 0, body.size());
        if (e.type == AE_IFLNK)
            archive_entry_set_symlink(entry, e.target.constData());
        else if (!e.target.isEmpty())
            archive_entry_set_hardlink(entry, e.target.constData());
        archive_write_header(a, entry);
        archive_write_data(a, body.constData(), static_cast<size_t>(body.size()));
        archive_entry_free(entry);
    }
    archive_write_close(a);
    archive_write_free(a);
    QByteArray sealed;
    BackupCipher::Sealer sealer([&](const char* d, qint64 n) { sealed.append(d, n); }, kPassphrase, kCheap);
    sealer.write(tar.constData(), static_cast<qint64>(used));
    sealer.finish();
    return sealed;
}

// Restores bytes into parent/cel and checks that a refusal left nothing at all beside it.
QString refusalOf(const QByteArray& backup, const QByteArray& passphrase = kPassphrase) {
    QTemporaryDir parent;
    QBuffer device;
    device.setData(backup);
    device.open(QIODevice::ReadOnly);
    QString text;
    try {
        BackupTree::restore(device, QStringLiteral("teszt.vktmentes"), passphrase,
                            parent.filePath(QStringLiteral("cel")), &kCheap);
    } catch (const UserError& e) {
        text = e.text();
    }
    if (!entries(parent.path()).isEmpty())
        return QStringLiteral("left behind: ") + entries(parent.path()).join(QLatin1Char(','));
    return text;
}

} // namespace

class BackupTest : public QObject {
    Q_OBJECT
    TestRoot m_root;
    QString m_backup;
    QTemporaryDir m_out;

private slots:
    void initTestCase();
    void roundTripIsExact();
    void damageIsRefused_data();
    void damageIsRefused();
    void hostileEntriesAreRefused_data();
    void hostileEntriesAreRefused();
    void nonEmptyTargetIsLeftAlone();
    void fullDiskLeavesNoBackup_data();
    void fullDiskLeavesNoBackup();
    void shortPassphraseIsRefused_data();
    void shortPassphraseIsRefused();
    void backupThatCouldNotRestoreIsNotMade_data();
    void backupThatCouldNotRestoreIsNotMade();
    void linkLeadingOutIsStoredAsWhatItLeadsTo();
};

void BackupTest::initTestCase() {
    m_root.put(QStringLiteral("gy_vkt/archivum/Kovács Ödön.kvx"), "vizsg\xe1lat 1\r\n");
    m_root.put(QStringLiteral("gy_vkt/archivum/ABC.KVX"), "vizsg\xe1lat 2\r\n");
    m_root.put(QStringLiteral("gy_vkt/archivum/régi/MAS.kvx"), "nem sz\xe1mol\r\n");
    m_root.put(QStringLiteral("gy_vkt/aktualis/1.val"), QByteArray());
    QByteArray large(4 * 1024 * 1024, Qt::Uninitialized);
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(large.data()), large.size() / 4);
    m_root.put(QStringLiteral("selvik/pictures/Tóth Győző.jpg"), large);
    m_root.put(QStringLiteral(".gyvkt.lock"), "12345\n");
    const QString root = m_root.path();
    setTime(root + QStringLiteral("/gy_vkt/archivum/Kovács Ödön.kvx"), 1234567890, 123456789);
#ifdef Q_OS_WIN
    // A Windows backup holds no links, and no modes.
    const int links = 0;
#else
    const int links = 2;
    QVERIFY(QFile::link(QStringLiteral("../archivum/ABC.KVX"), root + QStringLiteral("/gy_vkt/html/utolsó.kvx")));
    QVERIFY(QFile::link(QStringLiteral("gy_vkt"), root + QStringLiteral("/mappa-hivatkozás")));
    ::chmod(QFile::encodeName(root + QStringLiteral("/gy_vkt/aktualis/1.val")).constData(), 0640);
    ::chmod(QFile::encodeName(root + QStringLiteral("/gy_vkt/help")).constData(), 0750);
    setTime(root + QStringLiteral("/gy_vkt/html/utolsó.kvx"), 1000000000, 5);
    setTime(root + QStringLiteral("/gy_vkt/help"), 1100000000, 0);
#endif
    m_backup = m_out.filePath(QStringLiteral("mentes.vktmentes"));
    BackupTree::Contents made;
    try {
        made = BackupTree::create(root, m_backup, kPassphrase, kCheap);
    } catch (const UserError& e) {
        QFAIL(qPrintable(e.text()));
    }
    QCOMPARE(made.files, 5);
    QCOMPARE(made.examinations, 2);
    QCOMPARE(made.links, links);
}

void BackupTest::roundTripIsExact() {
    // Nothing of the content, no name of a child, is readable in the file.
    const QByteArray sealed = readFileBytes(m_backup);
    for (const QByteArray& secret : {QByteArray("Kov\xc3\xa1"
                                                "cs"),
                                     QByteArray("vizsg\xe1lat"), QByteArray("archivum")})
        QVERIFY(!sealed.contains(secret));

    QTemporaryDir parent;
    const QString target = parent.filePath(QStringLiteral("vissza"));
    QVERIFY(QDir().mkdir(target)); // an empty folder is a valid target
    // A killed restore's decrypted copy goes when the next one runs.
    QVERIFY(QDir().mkpath(parent.filePath(QStringLiteral(".vissza.visszaallitas-Xy12Zz/gy_vkt"))));
    const BackupTree::Contents restored = BackupTree::restoreFile(m_backup, kPassphrase, target);
    QCOMPARE(restored.examinations, 2);
    QMap<QString, QString> expected = describe(m_root.path());
    expected.remove(QStringLiteral(".gyvkt.lock"));
    QMap<QString, QString> got = describe(target);
    // Link targets are compared as written; the restored path differs by its root only.
    for (auto* tree : {&expected, &got})
        for (QString& v : *tree)
            v.replace(QString::fromUtf8(QFile::encodeName(m_root.path())), QString())
                .replace(QString::fromUtf8(QFile::encodeName(target)), QString())
                .replace(m_root.path(), QString())
                .replace(target, QString());
    QCOMPARE(got, expected);
    QCOMPARE(entries(parent.path()), QStringList{QStringLiteral("vissza")});
}

void BackupTest::damageIsRefused_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("passphrase");
    QTest::addColumn<QString>("reason");
    const QByteArray good = readFileBytes(m_backup);
    const auto flipped = [&](qsizetype at) {
        QByteArray b = good;
        b[at] = static_cast<char>(b[at] ^ 0x01);
        return b;
    };
    constexpr qsizetype header = 72;
    const qsizetype sealedChunk = BackupCipher::kChunkSize + crypto_secretstream_xchacha20poly1305_ABYTES;
    QTest::newRow("wrong passphrase") << good << QByteArray("más jelszó, ugyanolyan hosszú") << "hibás a jelszó";
    QTest::newRow("header: salt") << flipped(40) << kPassphrase << "hibás a jelszó";
    QTest::newRow("header: magic") << flipped(0) << kPassphrase << "nem a gyermek VKT";
    QTest::newRow("header: version") << flipped(8) << kPassphrase << "változat";
    QByteArray huge = good;
    huge.replace(24, 8, QByteArray(8, '\x7f'));
    QTest::newRow("header: demands too much memory") << huge << kPassphrase << "határon kívül";
    QTest::newRow("middle chunk") << flipped(good.size() / 2) << kPassphrase << "blokkja nem hiteles";
    QTest::newRow("last chunk") << flipped(good.size() - 3) << kPassphrase << "utolsó blokkja sérült";
    QTest::newRow("cut inside a chunk") << good.left(good.size() - 100) << kPassphrase << "csonka";
    QTest::newRow("cut at a chunk boundary") << good.left(header + 3 * sealedChunk) << kPassphrase << "csonka";
    QTest::newRow("bytes after the end") << good + QByteArray(1, 'x') << kPassphrase << "utolsó blokkja sérült";
}

void BackupTest::damageIsRefused() {
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, passphrase);
    QFETCH(QString, reason);
    const QString text = refusalOf(bytes, passphrase);
    QVERIFY2(text.startsWith(QStringLiteral("A biztonsági mentés nem használható: ")) && text.contains(reason),
             qPrintable(text));
}

void BackupTest::hostileEntriesAreRefused_data() {
    QTest::addColumn<QList<HostileEntry>>("list");
    QTest::addColumn<QString>("reason");
    const HostileEntry folder{"gy_vkt/", AE_IFDIR, {}};
    QTest::newRow("absolute path") << QList<HostileEntry>{{"/tmp/gyvkt-kint", AE_IFREG, {}}} << "abszolút";
    QTest::newRow("dot-dot") << QList<HostileEntry>{{"gy_vkt/../../kint", AE_IFREG, {}}} << "„..”";
    QTest::newRow("absolute link") << QList<HostileEntry>{{"l", AE_IFLNK, "/etc"}} << "kívülre mutató";
    QTest::newRow("link climbing out") << QList<HostileEntry>{folder, {"gy_vkt/l", AE_IFLNK, "../.."}} << "kívülre";
    QTest::newRow("link climbing after a link")
        << QList<HostileEntry>{folder, {"gy_vkt/fel", AE_IFLNK, ".."}, {"l", AE_IFLNK, "gy_vkt/fel/.."}} << "kívülre";
    QTest::newRow("file below a link") << QList<HostileEntry>{{"l", AE_IFLNK, "."}, {"l/x", AE_IFREG, {}}}
                                       << "átvezető";
    QTest::newRow("link over a file") << QList<HostileEntry>{{"a", AE_IFREG, {}}, {"a", AE_IFLNK, "b"}} << "kétszer";
    QTest::newRow("fifo") << QList<HostileEntry>{{"cso", AE_IFIFO, {}}} << "különleges";
    QTest::newRow("device") << QList<HostileEntry>{{"lemez", AE_IFBLK, {}}} << "különleges";
    QTest::newRow("hard link") << QList<HostileEntry>{{"a", AE_IFREG, {}}, {"b", AE_IFREG, "a"}} << "különleges";
    // What the system would refuse to create, found before anything is written.
    QTest::newRow("300-byte name") << QList<HostileEntry>{{QByteArray(300, 'n'), AE_IFREG, {}}} << "túl hosszú név";
    QByteArray deep;
    for (int i = 0; i < 20; ++i)
        deep += QByteArray(200, 'm') + '/';
    QTest::newRow("path longer than restores")
        << QList<HostileEntry>{{deep + "f", AE_IFREG, {}}} << "túl hosszú útvonal";
    QTest::newRow("sparse file of 1 TiB")
        << QList<HostileEntry>{{"ritka", AE_IFREG, {}, qint64(1) << 40}} << "ritka (sparse)";
}

void BackupTest::hostileEntriesAreRefused() {
    QFETCH(QList<HostileEntry>, list);
    QFETCH(QString, reason);
    const QByteArray sealed = sealedArchive(list);
    const QString text = refusalOf(sealed);
    QVERIFY2(text.contains(reason), qPrintable(text));
    // verify makes the same checks.
    QBuffer device;
    device.setData(sealed);
    device.open(QIODevice::ReadOnly);
    QVERIFY_THROWS_EXCEPTION(UserError, BackupTree::verify(device, QStringLiteral("x"), kPassphrase, &kCheap));
}

void BackupTest::nonEmptyTargetIsLeftAlone() {
    QTemporaryDir parent;
    const QString target = parent.filePath(QStringLiteral("cel"));
    QDir().mkdir(target);
    QFile::copy(m_backup, target + QStringLiteral("/ott.txt"));
    QVERIFY_THROWS_EXCEPTION(UserError, BackupTree::restoreFile(m_backup, kPassphrase, target));
    QCOMPARE(entries(parent.path()), QStringList{QStringLiteral("cel")});
    QCOMPARE(entries(target), QStringList{QStringLiteral("ott.txt")});
}

void BackupTest::fullDiskLeavesNoBackup_data() {
    QTest::addColumn<AtomicFile::Step>("step");
    QTest::addColumn<qint64>("room");
    QTest::newRow("full after the header") << AtomicFile::Step::Write << qint64(100);
    QTest::newRow("full in the large file") << AtomicFile::Step::Write << qint64(3 * 1024 * 1024);
    QTest::newRow("sync fails") << AtomicFile::Step::Sync << qint64(0);
    QTest::newRow("rename fails") << AtomicFile::Step::Rename << qint64(0);
}

void BackupTest::fullDiskLeavesNoBackup() {
    QFETCH(AtomicFile::Step, step);
    QFETCH(qint64, room);
    QTemporaryDir out;
    const QString file = out.filePath(QStringLiteral("uj.vktmentes"));
    AtomicFile::injectFault(AtomicFile::Fault{step, room, QStringLiteral("/uj.vktmentes")});
    QString text;
    try {
        BackupTree::create(m_root.path(), file, kPassphrase, kCheap);
    } catch (const UserError& e) {
        text = e.text();
    }
    AtomicFile::injectFault(std::nullopt);
    QCOMPARE(text, QStringLiteral("Cannot create file ") + QDir::toNativeSeparators(file) +
                       QStringLiteral("\nNincs elég hely a lemezen."));
    QCOMPARE(entries(out.path()), QStringList());
}

void BackupTest::shortPassphraseIsRefused_data() {
    // Characters count, not bytes or UTF-16 units.
    QTest::addColumn<QString>("passphrase");
    QTest::addColumn<bool>("refused");
    QTest::newRow("eleven accented letters") << QStringLiteral("ÁÉÍÓÖŐÚÜŰáé") << true;
    QTest::newRow("twelve accented letters") << QStringLiteral("ÁÉÍÓÖŐÚÜŰáéő") << false;
    QString emoji;
    for (int i = 0; i < 11; ++i)
        emoji += QString::fromUcs4(U"\U0001F600");
    QTest::newRow("eleven characters beyond the BMP") << emoji << true;
}

void BackupTest::shortPassphraseIsRefused() {
    QFETCH(QString, passphrase);
    QFETCH(bool, refused);
    QCOMPARE(!BackupCipher::passphraseProblem(passphrase.toUtf8()).isEmpty(), refused);
}

void BackupTest::backupThatCouldNotRestoreIsNotMade_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("reason");
    QTest::newRow("name not UTF-8") << QStringLiteral("latin2") << QStringLiteral("nem UTF-8");
    QTest::newRow("link out to nothing") << QStringLiteral("dangling") << QStringLiteral("célja nem mappa");
    QTest::newRow("link out back above itself") << QStringLiteral("loop") << QStringLiteral("önmagába");
    QTest::newRow("output inside the root") << QStringLiteral("inside") << QStringLiteral("mentett mappába");
    QTest::newRow("output where a link out leads") << QStringLiteral("outside") << QStringLiteral("mentett mappába");
}

void BackupTest::backupThatCouldNotRestoreIsNotMade() {
    QFETCH(QString, setup);
    QFETCH(QString, reason);
    QTemporaryDir root;
    QTemporaryDir elsewhere;
    QDir(root.path()).mkpath(QStringLiteral("gy_vkt/archivum"));
    QString file = elsewhere.filePath(QStringLiteral("m.vktmentes"));
#ifdef Q_OS_WIN
    if (setup != QLatin1String("inside"))
        QSKIP("Windows names are Unicode, and a Windows backup leaves links out");
#else
    const QByteArray folder = QFile::encodeName(root.filePath(QStringLiteral("gy_vkt/archivum")));
    if (setup == QLatin1String("latin2"))
        QVERIFY(::close(::open((folder + "/K\xf6r.kvx").constData(), O_CREAT | O_WRONLY, 0600)) == 0);
    else if (setup == QLatin1String("dangling"))
        QVERIFY(QFile::link(elsewhere.filePath(QStringLiteral("nincs")), root.filePath(QStringLiteral("gy_vkt/x"))));
    else if (setup == QLatin1String("loop"))
        QVERIFY(QFile::link(root.path(), root.filePath(QStringLiteral("gy_vkt/archivum/fel"))));
    else if (setup == QLatin1String("outside"))
        QVERIFY(QFile::link(elsewhere.path(), root.filePath(QStringLiteral("gy_vkt/kint"))));
#endif
    if (setup == QLatin1String("inside"))
        file = root.filePath(QStringLiteral("gy_vkt/archivum/MINTA.kvx"));
    QString text;
    try {
        BackupTree::create(root.path(), file, kPassphrase, kCheap);
    } catch (const UserError& e) {
        text = e.text();
    }
    QVERIFY2(text.contains(reason), qPrintable(text));
    QCOMPARE(entries(elsewhere.path()), QStringList());
    QVERIFY(!QFileInfo::exists(root.filePath(QStringLiteral("gy_vkt/archivum/MINTA.kvx"))));
}

void BackupTest::linkLeadingOutIsStoredAsWhatItLeadsTo() {
#ifdef Q_OS_WIN
    QSKIP("Windows makes no links without an administrator's right, and a Windows backup leaves links out");
#endif
    // An archive folder kept on another disk, and a key file linked from elsewhere.
    QTemporaryDir root;
    QTemporaryDir disk;
    QDir(disk.path()).mkpath(QStringLiteral("archivum"));
    QFile exam(disk.filePath(QStringLiteral("archivum/K1.kvx")));
    QVERIFY(exam.open(QIODevice::WriteOnly));
    exam.write("vizsg\xe1lat\r\n");
    exam.close();
    QVERIFY(QFile::link(disk.filePath(QStringLiteral("archivum/K1.kvx")), disk.filePath(QStringLiteral("kulcs"))));
    QDir(root.path()).mkpath(QStringLiteral("gy_vkt"));
    QVERIFY(QFile::link(disk.filePath(QStringLiteral("archivum")), root.filePath(QStringLiteral("gy_vkt/archivum"))));
    QVERIFY(QFile::link(disk.filePath(QStringLiteral("kulcs")), root.filePath(QStringLiteral("gy_vkt/magyar.gcr"))));
    const QString file = m_out.filePath(QStringLiteral("kovetett.vktmentes"));
    const BackupTree::Contents made = BackupTree::create(root.path(), file, kPassphrase, kCheap);
    QCOMPARE(made.followedLinks.size(), 2);
    QCOMPARE(made.examinations, 1);
    QCOMPARE(made.links, 0);

    // What verify passes, restore restores: real folders and files in place of the links.
    QFile device(file);
    QVERIFY(device.open(QIODevice::ReadOnly));
    QCOMPARE(BackupTree::verify(device, file, kPassphrase, &kCheap).examinations, 1);
    QTemporaryDir parent;
    const QString target = parent.filePath(QStringLiteral("vissza"));
    BackupTree::restoreFile(file, kPassphrase, target);
    const QFileInfo archive(target + QStringLiteral("/gy_vkt/archivum"));
    QVERIFY(archive.isDir() && !archive.isSymLink());
    QCOMPARE(readFileBytes(target + QStringLiteral("/gy_vkt/archivum/K1.kvx")), QByteArray("vizsg\xe1lat\r\n"));
    QCOMPARE(readFileBytes(target + QStringLiteral("/gy_vkt/magyar.gcr")), QByteArray("vizsg\xe1lat\r\n"));
}

QTEST_GUILESS_MAIN(BackupTest)
#include "tst_backup.moc"
