// One program per data folder, and a crashed program's lock does not shut the folder for ever.
#include "TestRoot.h"
#include "core/platform/DataRootLock.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QtTest>

class DataRootLockTest : public QObject {
    Q_OBJECT
private slots:
    void secondProgramOnTheSameFolderIsRefused() {
        TestRoot root;
        DataRootLock first(root.root());
        QVERIFY(first.acquire());
        DataRootLock second(root.root());
        QVERIFY(!second.acquire());
        // Another data folder is another matter.
        TestRoot other;
        DataRootLock elsewhere(other.root());
        QVERIFY(elsewhere.acquire());
        QVERIFY(DataRootLock::alreadyRunningText(root.root()).contains(root.path()));
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
        gone.start(QStringLiteral("true"), {});
        QVERIFY(gone.waitForStarted());
        const qint64 pid = gone.processId();
        QVERIFY(gone.waitForFinished());
        TestRoot root;
        const QString path = DataRootLock(root.root()).path();
        root.put(QStringLiteral(".gyvkt.lock"), QByteArray::number(pid) + '\n' +
                                                    QCoreApplication::applicationName().toUtf8() + '\n' +
                                                    QSysInfo::machineHostName().toUtf8() + '\n');
        QVERIFY(QFile::exists(path));
        DataRootLock next(root.root());
        QVERIFY(next.acquire());
    }
};

QTEST_GUILESS_MAIN(DataRootLockTest)
#include "tst_datarootlock.moc"
