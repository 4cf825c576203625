// One program per data folder, and a crashed program's lock does not shut the folder for ever.
#include "TestRoot.h"
#include "base/DataRootLock.h"

#include <QCoreApplication>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QtTest>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#include <unistd.h>
#endif

class DataRootLockTest : public QObject {
    Q_OBJECT
private slots:
    void secondProgramOnTheSameFolderIsRefused() {
        TestRoot root;
        DataRootLock first(root.root());
        QVERIFY(first.acquire());
        // It names the machine and the process: the owner's alone, as every file the program makes
        // (on Windows by the access list of the data folder it lies in).
#ifndef Q_OS_WIN
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(first.path()).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, mode_t(0600));
#endif
        DataRootLock second(root.root());
        QVERIFY(!second.acquire());
        // Another data folder is another matter.
        TestRoot other;
        DataRootLock elsewhere(other.root());
        QVERIFY(elsewhere.acquire());
        QVERIFY(DataRootLock::alreadyRunningText(root.root()).contains(QDir::toNativeSeparators(root.path())));
        // The second one is told who holds the folder: the machine as the lock names it (on
        // Windows its short name, not the network's), and the process.
        qint64 pid = 0;
        QString host;
        QString application;
        QVERIFY(QLockFile(first.path()).getLockInfo(&pid, &host, &application));
        QCOMPARE(pid, QCoreApplication::applicationPid());
        QVERIFY(second.failureText().startsWith(QStringLiteral("A gyermek VKT már fut")));
        QVERIFY2(second.failureText().contains(host), qPrintable(second.failureText()));
        QVERIFY(second.failureText().contains(QString::number(pid)));
    }

    // What a power cut, a typo or a planted file leaves at the lock's place.
    void whatStandsAtTheLock_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("acquired");
        QTest::newRow("empty, left by a power cut") << QStringLiteral("empty") << true;
        QTest::newRow("garbled") << QStringLiteral("garbled") << true;
        QTest::newRow("a pipe") << QStringLiteral("fifo") << false;
        QTest::newRow("a link to an endless device") << QStringLiteral("zero") << false;
        QTest::newRow("a folder") << QStringLiteral("folder") << false;
    }

    void whatStandsAtTheLock() {
        QFETCH(QString, kind);
        QFETCH(bool, acquired);
        TestRoot root;
        DataRootLock lock(root.root());
#ifdef Q_OS_WIN
        if (kind == QLatin1String("fifo") || kind == QLatin1String("zero"))
            QSKIP("Windows makes no pipes in a folder and no links without an administrator's right");
#else
        const QByteArray path = QFile::encodeName(lock.path());
        if (kind == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(path.constData(), 0600), 0);
        else if (kind == QLatin1String("zero"))
            QCOMPARE(::symlink("/dev/zero", path.constData()), 0);
        else
#endif
        if (kind == QLatin1String("folder"))
            QVERIFY(QDir().mkdir(lock.path()));
        else {
            QFile file(lock.path());
            QVERIFY(file.open(QIODevice::WriteOnly));
            if (kind == QLatin1String("garbled"))
                QVERIFY(file.write("\x01\xff zaj\n") > 0 && file.flush());
            // Long enough ago that no program is still writing it.
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
        }
        QCOMPARE(lock.acquire(), acquired);
        if (!acquired) {
            QVERIFY(lock.failureText().startsWith(QStringLiteral("A gyermek VKT nem tudja lefoglalni")));
            QVERIFY(lock.failureText().contains(QStringLiteral("nem közönséges fájl")));
            QVERIFY(lock.failureText().contains(QDir::toNativeSeparators(lock.path())));
        }
    }

    void lockIsFreedWhenTheProgramEnds() {
        TestRoot root;
        {
            DataRootLock first(root.root());
            QVERIFY(first.acquire());
        }
        DataRootLock next(root.root());
        QVERIFY(next.acquire());
    }

    void lockOfACrashedRunIsTakenOver() {
        // A lock file naming a process that no longer runs, as a crash leaves it.
        QProcess gone;
        // This program itself, asked only for its test functions, is a process on every system.
        gone.start(QCoreApplication::applicationFilePath(), {QStringLiteral("-functions")});
        QVERIFY(gone.waitForStarted());
        const qint64 pid = gone.processId();
        QVERIFY(gone.waitForFinished());
        TestRoot root;
        const QString path = DataRootLock(root.root()).path();
        // The rest as the lock of this machine reads (its name is the system's own).
        QByteArray written;
        {
            QLockFile sample(path);
            QVERIFY(sample.tryLock(0));
            written = readFileBytes(path);
        }
        written = QByteArray::number(pid) + written.mid(written.indexOf('\n'));
        root.put(QStringLiteral(".gyvkt.lock"), written);
        QVERIFY(QFile::exists(path));
        DataRootLock next(root.root());
        QVERIFY(next.acquire());
    }
};

QTEST_GUILESS_MAIN(DataRootLockTest)
#include "tst_datarootlock.moc"
