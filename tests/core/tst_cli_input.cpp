// gyvkt-cli takes whatever a shell hands it: pipes, devices, huge files, names that look like
// options, folders for output, a full disk. It must never hang, never report a failure as
// success and never leave a protocol half-written.
#include "CliRun.h"
#include "TestRoot.h"
#include "formats/ExaminationFile.h"
#include "tst_evaluate_example.h"

#include <QDir>
#include <QProcess>
#include <QtTest>

#include <csignal>
#ifndef Q_OS_WIN
#include <sys/resource.h>
#include <sys/stat.h>
#endif

namespace {

ExaminationData sample() {
    ExaminationData d;
    d.personal.name = QStringLiteral("Kötőjeles Kata");
    d.personal.age = 9;
    d.lines = EvalFixture::workedExample();
    return d;
}

#ifndef Q_OS_WIN
QStringList hiddenAndVisible(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}
#endif

} // namespace

class CliInputTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void onlyRegularFilesAreRead_data();
    void onlyRegularFilesAreRead();
    void oversizedFileIsRefused();
    void doubleDashEndsTheOptions();
    void outputFolderForOneExamination_data();
    void outputFolderForOneExamination();
    void helpAfterEverySubcommand_data();
    void helpAfterEverySubcommand();
    void fullDiskIsReportedAndTheOldProtocolKept();
    void tooFewMarkedPicturesGiveNoProtocol();

private:
    std::unique_ptr<TestRoot> m_root;
    QString m_key;
    QString path(const QString& name) const { return m_root->path() + QLatin1Char('/') + name; }
    QStringList keyArgs() const {
        return {QStringLiteral("--gcr"), m_key, QStringLiteral("--decimal"), QStringLiteral(",")};
    }
};

void CliInputTest::init() {
    m_root = std::make_unique<TestRoot>();
    m_root->put(QStringLiteral("key.gcr"), EvalFixture::workedExampleKeyBytes());
    m_key = path(QStringLiteral("key.gcr"));
    ExaminationFile::write(path(QStringLiteral("abc.kvx")), sample());
}

void CliInputTest::onlyRegularFilesAreRead_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("kind");
    for (const char* command : {"dump", "protocol"}) {
        for (const char* kind : {"pipe", "device", "folder"})
            QTest::addRow("%s %s", command, kind) << QString::fromLatin1(command) << QString::fromLatin1(kind);
    }
}

void CliInputTest::onlyRegularFilesAreRead() {
    QFETCH(QString, command);
    QFETCH(QString, kind);
    QString target;
    if (kind == QLatin1String("pipe")) {
#ifdef Q_OS_WIN
        QSKIP("Windows makes no pipes in a folder");
#else
        target = path(QStringLiteral("pipe.kvx"));
        QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0600), 0);
#endif
    } else if (kind == QLatin1String("device")) {
#ifdef Q_OS_WIN
        target = QStringLiteral("NUL");
#else
        target = QStringLiteral("/dev/zero");
#endif
    } else {
        target = path(QStringLiteral("mappa.kvx"));
        QDir().mkpath(target);
    }
    QStringList args{command};
    if (command == QLatin1String("protocol"))
        args << keyArgs() << QStringLiteral("-o") << path(QStringLiteral("out.html"));
    const CliRun r = runCli(args << target);
    QCOMPARE(r.status, 2);
    QVERIFY2(r.err.contains(target.toUtf8()), r.err.constData());
    QVERIFY(!QFile::exists(path(QStringLiteral("out.html"))));
}

void CliInputTest::oversizedFileIsRefused() {
    QByteArray big = ExaminationFile::serialize(sample());
    big += QByteArray(5 * 1024 * 1024, 'x');
    m_root->put(QStringLiteral("nagy.kvx"), big);
    const CliRun r = runCli({QStringLiteral("dump"), path(QStringLiteral("nagy.kvx"))});
    QCOMPARE(r.status, 2);
    QVERIFY2(QString::fromUtf8(r.err).contains(QStringLiteral("túl nagy")), r.err.constData());
    QVERIFY(r.out.isEmpty());
}

void CliInputTest::doubleDashEndsTheOptions() {
    ExaminationFile::write(path(QStringLiteral("-dash.kvx")), sample());
    // Without "--" the name is an unknown option.
    QCOMPARE(runCli(QStringList{QStringLiteral("protocol")} << keyArgs() << QStringLiteral("-dash.kvx"), m_root->path())
                 .status,
             1);
    const CliRun r = runCli(QStringList{QStringLiteral("protocol")} << keyArgs() << QStringLiteral("--")
                                                                    << QStringLiteral("-dash.kvx"),
                            m_root->path());
    QCOMPARE(r.status, 0);
    QVERIFY(QFile::exists(path(QStringLiteral("-DASH.html"))));
}

void CliInputTest::outputFolderForOneExamination_data() {
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("written");
    QTest::newRow("new folder named with a separator") << QStringLiteral("uj/") << QStringLiteral("uj/ABC.html");
    QTest::newRow("existing folder") << QStringLiteral("meglevo") << QStringLiteral("meglevo/ABC.html");
    QTest::newRow("a file") << QStringLiteral("jkv.html") << QStringLiteral("jkv.html");
}

void CliInputTest::outputFolderForOneExamination() {
    QFETCH(QString, output);
    QFETCH(QString, written);
    QDir().mkpath(path(QStringLiteral("meglevo")));
    const CliRun r = runCli(QStringList{QStringLiteral("protocol"), path(QStringLiteral("abc.kvx"))}
                            << keyArgs() << QStringLiteral("-o") << path(output));
    QCOMPARE(r.status, 0);
    QCOMPARE(QString::fromUtf8(r.out).trimmed(), QDir::cleanPath(path(written)));
    QCOMPARE(readFileBytes(path(written)).count("\r\n"), 260);
}

void CliInputTest::helpAfterEverySubcommand_data() {
    QTest::addColumn<QString>("command");
    for (const char* command : {"dump", "protocol", "evaluate"})
        QTest::newRow(command) << QString::fromLatin1(command);
}

void CliInputTest::helpAfterEverySubcommand() {
    QFETCH(QString, command);
    for (const QString& flag : {QStringLiteral("--help"), QStringLiteral("-h")}) {
        const CliRun r = runCli({command, path(QStringLiteral("abc.kvx")), flag});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.startsWith(QByteArray("Haszn\xc3\xa1lat: gyvkt-cli ") + command.toLatin1()), r.out.constData());
        QVERIFY(r.err.isEmpty());
    }
}

void CliInputTest::fullDiskIsReportedAndTheOldProtocolKept() {
#ifdef Q_OS_WIN
    QSKIP("Windows has no limit on a file's size to stand in for a full disk; tst_atomicfile's injected faults do");
#else
    // A file-size limit in the child stands in for a disk that fills up part-way through.
    const QString target = path(QStringLiteral("ABC.html"));
    m_root->put(QStringLiteral("ABC.html"), "a r\xe9gi jegyz\xf5k\xf6nyv\r\n");
    const QStringList before = hiddenAndVisible(m_root->path());
    QProcess p;
    p.setChildProcessModifier([] {
        ::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit {};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 2000;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    p.start(QStringLiteral(GYVKT_CLI_PATH), QStringList{QStringLiteral("protocol"), path(QStringLiteral("abc.kvx"))}
                                                << keyArgs() << QStringLiteral("-o") << target);
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 2);
    // Both lines: what failed and why.
    QVERIFY(p.readAllStandardError().contains(
        (QStringLiteral("Cannot create file ") + target + QStringLiteral("\nA fájl túl nagy ehhez a lemezhez."))
            .toUtf8()));
    QCOMPARE(readFileBytes(target), QByteArray("a r\xe9gi jegyz\xf5k\xf6nyv\r\n"));
    QCOMPARE(hiddenAndVisible(m_root->path()), before);
#endif
}

void CliInputTest::tooFewMarkedPicturesGiveNoProtocol() {
    // As in the program: a protocol needs at least 18 marked pictures.
    ExaminationData few = sample();
    for (int n = 18; n <= 24; ++n)
        few.lines[static_cast<size_t>(n - 1)] = ScoringLine();
    QCOMPARE(std::count_if(few.lines.begin(), few.lines.end(), [](const ScoringLine& l) { return !l.isEmpty(); }), 17);
    ExaminationFile::write(path(QStringLiteral("few.kvx")), few);
    const CliRun r =
        runCli(QStringList{QStringLiteral("protocol"), path(QStringLiteral("few.kvx")), path(QStringLiteral("abc.kvx"))}
               << keyArgs() << QStringLiteral("-o") << path(QStringLiteral("out")));
    QCOMPARE(r.status, 2);
    QVERIFY2(QString::fromUtf8(r.err).contains(QStringLiteral("mindössze 17")), r.err.constData());
    QVERIFY(!QFile::exists(path(QStringLiteral("out/FEW.html"))));
    // The other examination of the batch is made all the same.
    QVERIFY(QFile::exists(path(QStringLiteral("out/ABC.html"))));
}

QTEST_GUILESS_MAIN(CliInputTest)
#include "tst_cli_input.moc"
