// A crash at any moment of replacing the 24 answers leaves, after the next start, either all the
// old answers or all the new ones, also when that start is cut short by crashes of its own; the
// temporaries a crash leaves are removed at start.
#include "TestRoot.h"
#include "app/StartupRecovery.h"
#include "base/AtomicFile.h"
#include "formats/WorkingFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

namespace {

WorkingFolder::Answers answers(const QString& word) {
    WorkingFolder::Answers a;
    for (int n = 1; n <= kPictureCount; ++n)
        a[static_cast<size_t>(n - 1)] = QStringLiteral("%1 %2\r\n").arg(word).arg(n);
    return a;
}

QStringList hiddenFiles(const QString& folder) {
    return QDir(folder)
        .entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot)
        .filter(QRegularExpression(QStringLiteral("^\\.")));
}

} // namespace

class CrashRecoveryTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // Hundreds of crash points, each syncing dozens of files: what is checked is which files
        // stand after each, not how fast a disk takes them, so a memory file system does.
        if (QFileInfo(QStringLiteral("/dev/shm")).isWritable())
            qputenv("TMPDIR", "/dev/shm");
    }

    void replacementStoppedAtEveryStep_data() {
        QTest::addColumn<bool>("loseAStagedFile");
        QTest::newRow("every staged file there") << false;
        QTest::newRow("a staged file lost") << true;
    }

    void replacementStoppedAtEveryStep() {
        QFETCH(bool, loseAStagedFile);
        bool finished = false;
        for (int step = 1; !finished; ++step) {
            TestRoot root;
            const DataRoot r = root.root();
            WorkingFolder::replaceAnswers(r, answers(QStringLiteral("régi")));
            AtomicFile::stopBatchAfter(step);
            try {
                WorkingFolder::replaceAnswers(r, answers(QStringLiteral("új")));
                finished = true;
            } catch (const AtomicFile::Stopped&) {
            }
            AtomicFile::stopBatchAfter(std::nullopt);
            // What the stopped batch still has waiting beside the answers.
            const QStringList waiting =
                hiddenFiles(r.workingFolder()).filter(QRegularExpression(QStringLiteral("^\\.\\d+\\.val\\.\\w{6}$")));
            const bool journal = QFile::exists(WorkingFolder::journalPath(r));
            const bool lost = loseAStagedFile && journal && !waiting.isEmpty();
            if (lost)
                QVERIFY(QFile::remove(r.workingFolder() + QLatin1Char('/') + waiting.last()));

            StartupRecovery::run(r, QDateTime::currentDateTime().addSecs(1));
            const QString expected = lost ? QStringLiteral("régi") : QStringLiteral("új");
            QVERIFY2(WorkingFolder::readAnswers(r) == answers(expected),
                     qPrintable(QStringLiteral("stopped after step %1: not all %2").arg(step).arg(expected)));
            QCOMPARE(hiddenFiles(r.workingFolder()), QStringList());
        }
    }

    void recoveryStoppedAtEveryStep_data() {
        QTest::addColumn<int>("firstCrash");
        // The replacement's steps: the journal, the old files kept aside, the switch recorded, the
        // 24 renames, the journal removed, the old files removed.
        for (int step = 1; step <= 29; ++step)
            QTest::addRow("replacement stopped after step %d", step) << step;
    }

    void recoveryStoppedAtEveryStep() {
        QFETCH(int, firstCrash);
        bool finished = false;
        for (int step = 1; !finished; ++step) {
            const QDateTime later = QDateTime::currentDateTime().addSecs(1);
            TestRoot root;
            const DataRoot r = root.root();
            WorkingFolder::replaceAnswers(r, answers(QStringLiteral("régi")));
            AtomicFile::stopBatchAfter(firstCrash);
            QVERIFY_THROWS_EXCEPTION(AtomicFile::Stopped,
                                     WorkingFolder::replaceAnswers(r, answers(QStringLiteral("új"))));
            // The recovery is cut at the same step twice over, then runs to its end.
            for (int crash = 0; crash < 2; ++crash) {
                AtomicFile::stopBatchAfter(step);
                try {
                    StartupRecovery::run(r, later);
                    finished = finished || crash == 0;
                } catch (const AtomicFile::Stopped&) {
                }
            }
            AtomicFile::stopBatchAfter(std::nullopt);
            StartupRecovery::run(r, later);
            QVERIFY2(WorkingFolder::readAnswers(r) == answers(QStringLiteral("új")),
                     qPrintable(QStringLiteral("recovery stopped after step %1: answers mixed").arg(step)));
            QCOMPARE(hiddenFiles(r.workingFolder()), QStringList());
        }
    }

    void leftoverTemporariesAreRemovedAtStart() {
        TestRoot root;
        const QStringList ours{
            QStringLiteral("gy_vkt/aktualis/.3.val.Ab12Cd"), QStringLiteral("gy_vkt/aktualis/.3.val.regi"),
            QStringLiteral("gy_vkt/html/.ABC.html.xYz123"), QStringLiteral("gy_vkt/.standard.dat.q1W2e3")};
        const QStringList others{
            QStringLiteral("gy_vkt/aktualis/3.val"), QStringLiteral("gy_vkt/html/.ABC.html.long1234"),
            QStringLiteral("gy_vkt/archivum/.notes"), QStringLiteral("gy_vkt/archivum/a.kvx.Ab12Cd")};
        for (const QString& file : ours + others)
            root.put(file, "x");
        const QDateTime start = QDateTime::currentDateTime().addSecs(2);
        // Written after the start: the running program's own.
        root.put(QStringLiteral("gy_vkt/archivum/.ABC.kvx.Zz99Yy"), "x");
        QFile fresh(root.path() + QStringLiteral("/gy_vkt/archivum/.ABC.kvx.Zz99Yy"));
        QVERIFY(fresh.open(QIODevice::ReadWrite));
        QVERIFY(fresh.setFileTime(start.addSecs(5), QFileDevice::FileModificationTime));
        fresh.close();

        StartupRecovery::run(root.root(), start);
        for (const QString& file : ours)
            QVERIFY2(!root.exists(file), qPrintable(file));
        for (const QString& file : others + QStringList{QStringLiteral("gy_vkt/archivum/.ABC.kvx.Zz99Yy")})
            QVERIFY2(root.exists(file), qPrintable(file));
    }
};

QTEST_GUILESS_MAIN(CrashRecoveryTest)
#include "tst_crashrecovery.moc"
