// A write that fails anywhere leaves the old file byte for byte and nothing half-written beside
// it, and says so; a batch of files is replaced all together or not at all.
#include "TestRoot.h"
#include "base/AtomicFile.h"
#include "base/UserError.h"

#include <QDir>
#include <QtTest>

#include <cerrno>
#include <cstring>
#ifndef Q_OS_WIN
#include <sys/mount.h>
#include <sys/stat.h>
#endif

Q_DECLARE_METATYPE(AtomicFile::Step)

namespace {

const QByteArray kOld = "a r\xe9gi tartalom\r\n";

QByteArray newContent() {
    QByteArray bytes;
    for (int i = 0; i < 3000; ++i)
        bytes += "sor " + QByteArray::number(i) + "\r\n";
    return bytes;
}

// The folder's entries, hidden ones included: a temporary file left behind would show here.
QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

struct FaultScope {
    explicit FaultScope(const AtomicFile::Fault& fault) { AtomicFile::injectFault(fault); }
    ~FaultScope() { AtomicFile::injectFault(std::nullopt); }
};

// A small file system over a folder, for as long as the scope lasts.
#ifdef Q_OS_WIN
constexpr unsigned long MS_RDONLY = 1;
// Windows mounts nothing over a folder.
struct TmpfsScope {
    TmpfsScope(const QString&, unsigned long) {}
    bool mounted = false;
};
#else
struct TmpfsScope {
    TmpfsScope(const QString& folder, unsigned long flags)
        : path(QFile::encodeName(folder)),
          mounted(!folder.isEmpty() && ::mount("tmpfs", path.constData(), "tmpfs", flags, "size=16k,mode=700") == 0) {}
    ~TmpfsScope() {
        if (mounted)
            ::umount2(path.constData(), MNT_DETACH);
    }
    QByteArray path;
    bool mounted;
};
#endif

} // namespace

class AtomicFileTest : public QObject {
    Q_OBJECT
private slots:
    void failureKeepsTheOldFile_data();
    void failureKeepsTheOldFile();
    void newFileThatFailsLeavesNothing();
    void keepsTheModeOfTheFileItReplaces();
    void batchIsAllOrNothing();
    void failureSaysWhy_data();
    void failureSaysWhy();
};

void AtomicFileTest::failureKeepsTheOldFile_data() {
    QTest::addColumn<AtomicFile::Step>("step");
    QTest::addColumn<qint64>("room");
    QTest::newRow("disk full at the first byte") << AtomicFile::Step::Write << qint64(0);
    QTest::newRow("disk full in the middle") << AtomicFile::Step::Write << qint64(newContent().size() / 2);
    QTest::newRow("disk full one byte before the end") << AtomicFile::Step::Write << qint64(newContent().size() - 1);
    QTest::newRow("sync refused") << AtomicFile::Step::Sync << qint64(0);
    QTest::newRow("close refused") << AtomicFile::Step::Close << qint64(0);
    QTest::newRow("rename refused") << AtomicFile::Step::Rename << qint64(0);
}

void AtomicFileTest::failureKeepsTheOldFile() {
    QFETCH(AtomicFile::Step, step);
    QFETCH(qint64, room);
    TestRoot root;
    root.put(QStringLiteral("f.txt"), kOld);
    const QString path = root.path() + QStringLiteral("/f.txt");
    const QStringList before = entries(root.path());
    {
        FaultScope fault({step, room, QString()});
        try {
            AtomicFile::write(path, newContent());
            QFAIL("a failed write was reported as done");
        } catch (const UserError& e) {
            QCOMPARE(e.text(), QStringLiteral("Cannot create file ") + QDir::toNativeSeparators(path) +
                                   QStringLiteral("\nNincs elég hely a lemezen."));
        }
    }
    QCOMPARE(root.get(QStringLiteral("f.txt")), kOld);
    QCOMPARE(entries(root.path()), before);
    // Once the disk takes the bytes again, the same write succeeds.
    AtomicFile::write(path, newContent());
    QCOMPARE(root.get(QStringLiteral("f.txt")), newContent());
}

void AtomicFileTest::newFileThatFailsLeavesNothing() {
    TestRoot root;
    const QStringList before = entries(root.path());
    FaultScope fault({AtomicFile::Step::Write, 10, QString()});
    QVERIFY_THROWS_EXCEPTION(UserError, AtomicFile::write(root.path() + QStringLiteral("/uj.txt"), newContent()));
    QCOMPARE(entries(root.path()), before);
}

void AtomicFileTest::keepsTheModeOfTheFileItReplaces() {
#ifdef Q_OS_WIN
    QSKIP("Windows files have no mode bits to keep");
#else
    TestRoot root;
    root.put(QStringLiteral("f.txt"), kOld);
    const QByteArray path = QFile::encodeName(root.path() + QStringLiteral("/f.txt"));
    QCOMPARE(::chmod(path.constData(), 0640), 0);
    AtomicFile::write(QFile::decodeName(path), newContent());
    struct stat st {};
    QCOMPARE(::stat(path.constData(), &st), 0);
    QCOMPARE(st.st_mode & 07777, mode_t(0640));
#endif
}

void AtomicFileTest::batchIsAllOrNothing() {
    TestRoot root;
    for (int n = 1; n <= 24; ++n)
        root.put(QStringLiteral("%1.val").arg(n), "r\xe9gi " + QByteArray::number(n));
    const QStringList before = entries(root.path());
    {
        // The disk fills up at the seventh file.
        FaultScope fault({AtomicFile::Step::Write, 1, QStringLiteral("/7.val")});
        AtomicFile::Batch batch;
        try {
            for (int n = 1; n <= 24; ++n)
                batch.stage(root.path() + QStringLiteral("/%1.val").arg(n), "\xfaj " + QByteArray::number(n));
            QFAIL("a failed stage was not reported");
        } catch (const UserError& e) {
            QVERIFY(e.text().startsWith(QStringLiteral("Cannot create file ") +
                                        QDir::toNativeSeparators(root.path() + QStringLiteral("/7.val")) +
                                        QLatin1Char('\n')));
        }
    }
    QCOMPARE(entries(root.path()), before);
    for (int n = 1; n <= 24; ++n)
        QCOMPARE(root.get(QStringLiteral("%1.val").arg(n)), "r\xe9gi " + QByteArray::number(n));

    AtomicFile::Batch batch;
    for (int n = 1; n <= 24; ++n)
        batch.stage(root.path() + QStringLiteral("/%1.val").arg(n), "\xfaj " + QByteArray::number(n));
    // Staged is not yet written.
    QCOMPARE(root.get(QStringLiteral("3.val")), QByteArray("r\xe9gi 3"));
    batch.commit();
    QCOMPARE(entries(root.path()), before);
    for (int n = 1; n <= 24; ++n)
        QCOMPARE(root.get(QStringLiteral("%1.val").arg(n)), "\xfaj " + QByteArray::number(n));
}

// The reason must come from the call that failed, through whatever was cleaned up after it, in
// every writer. "tmpfs" and "read-only" are real disks when this run may mount them.
void AtomicFileTest::failureSaysWhy_data() {
    QTest::addColumn<QString>("disk");
    QTest::addColumn<AtomicFile::Step>("step");
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("reason");
    const QString noSpace = QStringLiteral("Nincs elég hely a lemezen.");
    const QString denied = QStringLiteral("Nincs jogosultság.");
    const QString readOnly = QStringLiteral("Csak olvasható a lemez.");
    using S = AtomicFile::Step;
    QTest::newRow("full disk") << QString() << S::Write << ENOSPC << noSpace;
#ifdef EDQUOT
    QTest::newRow("quota at sync") << QString() << S::Sync << EDQUOT << noSpace;
#endif
    QTest::newRow("access at rename") << QString() << S::Rename << EACCES << denied;
    QTest::newRow("not permitted at close") << QString() << S::Close << EPERM << denied;
    QTest::newRow("read-only") << QString() << S::Write << EROFS << readOnly;
    QTest::newRow("other: the system's text") << QString() << S::Sync << EIO << QString::fromLocal8Bit(strerror(EIO));
    QTest::newRow("real full tmpfs") << QStringLiteral("tmpfs") << S::Write << 0 << noSpace;
    QTest::newRow("real read-only tmpfs") << QStringLiteral("read-only") << S::Write << 0 << readOnly;
    QTest::newRow("real missing folder") << QStringLiteral("missing") << S::Write << 0
                                         << QStringLiteral("Nincs ilyen fájl vagy mappa.");
}

void AtomicFileTest::failureSaysWhy() {
    QFETCH(QString, disk);
    QFETCH(AtomicFile::Step, step);
    QFETCH(int, error);
    QFETCH(QString, reason);
    TestRoot root;
    QString folder = root.path() + QStringLiteral("/disk");
    QVERIFY(QDir().mkpath(folder));
    const bool mounts = disk == QLatin1String("tmpfs") || disk == QLatin1String("read-only");
    const TmpfsScope tmpfs(mounts ? folder : QString(), disk == QLatin1String("read-only") ? MS_RDONLY : 0);
    if (disk == QLatin1String("missing"))
        folder += QStringLiteral("/nincs");
    else if (mounts && !tmpfs.mounted)
        QSKIP("this run may not mount a file system; the injected rows stand for it");
    const FaultScope fault({step, 0, error == 0 ? QStringLiteral("/nowhere") : QString(), error});
    const QByteArray bytes = newContent() + newContent(); // more than the tmpfs holds
    const QString path = folder + QStringLiteral("/f.txt");
    const QString expected =
        QStringLiteral("Cannot create file ") + QDir::toNativeSeparators(path) + QLatin1Char('\n') + reason;
    auto said = [](auto&& write) {
        try {
            write();
        } catch (const UserError& e) {
            return e.text();
        }
        return QStringLiteral("(succeeded)");
    };
    QCOMPARE(said([&] { AtomicFile::write(path, bytes); }), expected);
    QCOMPARE(said([&] {
                 AtomicFile::Stream stream(path);
                 stream.write(bytes.constData(), bytes.size());
                 stream.commit();
             }),
             expected);
    QCOMPARE(said([&] {
                 AtomicFile::Batch batch;
                 batch.stage(path, bytes);
                 batch.commit();
             }),
             expected);
}

QTEST_GUILESS_MAIN(AtomicFileTest)
#include "tst_atomicfile.moc"
