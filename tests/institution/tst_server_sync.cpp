// gyvkt-cli sync and pull against the real server: what goes up, what comes back byte for byte,
// two computers changing one examination, the ways a connection fails, and runs cut off at any
// moment.
#include "CliRun.h"
#include "TestRoot.h"
#include "TestServer.h"
#include "institution/ArchiveSync.h"
#include "institution/ClientIdentity.h"
#include "institution/Connection.h"
#include "model/GcrKey.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSet>
#include <QtTest>

class ServerSyncTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void syncUploadsWhatIsNewOrChanged();
    void connectionFailures_data();
    void connectionFailures();
    void checkingTellsEachFileAndUploadsNothing();
    void twoComputersKeepBothVersions();
    void cutOffRunsStoreEachContentOnce();
    void storedColumnsAreTheProgramsOwn();
    void filesNearTheLimitGoTogether();

private:
    CliRun sync(const TestRoot& root, const QString& user) const;
    CliRun pull(const QString& folder, const QString& user) const;
    QString ownerValue(const QString& sql) const;
    static void write(const TestRoot& root, const QString& name, const ExaminationData& data);
    TestServer m_server;
};

void ServerSyncTest::initTestCase() {
    m_server.newDatabase();
    m_server.addTeam(QStringLiteral("Észak"));
    for (const char* name : {"anna", "bori", "cecil", "dora", "emil", "gabi", "hedi"})
        m_server.addUser(QString::fromLatin1(name), QStringLiteral("examiner"), QStringLiteral("Észak"));
}

CliRun ServerSyncTest::sync(const TestRoot& root, const QString& user) const {
    return runCli({QStringLiteral("sync"), QStringLiteral("--root"), root.path(), QStringLiteral("--db"),
                   m_server.socketInfo(user)});
}

CliRun ServerSyncTest::pull(const QString& folder, const QString& user) const {
    return runCli(
        {QStringLiteral("pull"), QStringLiteral("--to"), folder, QStringLiteral("--db"), m_server.socketInfo(user)});
}

QString ServerSyncTest::ownerValue(const QString& sql) const {
    return runSql(m_server.ownerInfo(), sql).rows.join(QLatin1Char(';'));
}

void ServerSyncTest::write(const TestRoot& root, const QString& name, const ExaminationData& data) {
    ExaminationFile::write(root.root().archiveFolder() + QLatin1Char('/') + name, data);
}

void ServerSyncTest::syncUploadsWhatIsNewOrChanged() {
    TestRoot root;
    for (int n = 1; n <= 3; ++n)
        write(root, QStringLiteral("K%1.kvx").arg(n), sampleExamination(n));
    root.put(QStringLiteral("gy_vkt/archivum/ROSSZ.kvx"), "csak egy sor\r\n");
    CliRun r = sync(root, QStringLiteral("anna"));
    QCOMPARE(r.status, 1);
    QVERIFY2(r.out.contains("Feltöltve: 3, változatlan: 0, elutasítva: 1"), r.out.constData());
    QVERIFY(r.err.contains("ROSSZ.kvx: Hibás vizsgálati fájl"));

    QFile::remove(root.root().archiveFolder() + QStringLiteral("/ROSSZ.kvx"));
    const QByteArray first = root.get(QStringLiteral("gy_vkt/archivum/K1.kvx"));
    write(root, QStringLiteral("K1.kvx"), sampleExamination(11));
    r = sync(root, QStringLiteral("anna"));
    QCOMPARE(r.status, 0);
    QVERIFY2(r.out.contains("Feltöltve: 1, változatlan: 2, elutasítva: 0"), r.out.constData());
    // Back to the first bytes: current again, stored once.
    root.put(QStringLiteral("gy_vkt/archivum/K1.kvx"), first);
    QVERIFY(sync(root, QStringLiteral("anna")).out.contains("Feltöltve: 1, változatlan: 2"));
    QCOMPARE(ownerValue(QStringLiteral("SELECT count(DISTINCT c.id), count(DISTINCT v.id) FROM gyvkt.examination e "
                                       "JOIN gyvkt.content c ON c.examination_id = e.id JOIN gyvkt.version v ON "
                                       "v.examination_id = e.id WHERE e.file_name = 'K1.kvx'")),
             QStringLiteral("2|3"));

    TestRoot copy;
    r = pull(copy.path(), QStringLiteral("anna"));
    QCOMPARE(r.status, 0);
    for (int n = 1; n <= 3; ++n) {
        const QString name = QStringLiteral("K%1.kvx").arg(n);
        QCOMPARE(copy.get(name), root.get(QStringLiteral("gy_vkt/archivum/") + name));
    }
}

void ServerSyncTest::connectionFailures_data() {
    QTest::addColumn<QString>("conninfo");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("says");
    QTest::newRow("nobody listens") << QStringLiteral("host=127.0.0.1 port=1 dbname=x") << 2
                                    << "A kiszolgáló nem érhető el";
    QTest::newRow("wrong password")
        << m_server.socketInfo(QStringLiteral("anna")).replace(TestServer::password(), QStringLiteral("rossz")) << 2
        << "A bejelentkezés nem sikerült";
    QTest::newRow("no TLS over TCP") << m_server.tlsInfo(QStringLiteral("anna"))
                                            .replace(QStringLiteral("sslmode=verify-full"),
                                                     QStringLiteral("sslmode=disable"))
                                     << 2 << "A bejelentkezés nem sikerült";
    QTest::newRow("wrong root certificate")
        << m_server.tlsInfo(QStringLiteral("anna"), false) << 2 << "A kiszolgáló tanúsítványa nem ellenőrizhető";
    QTest::newRow("verified TLS") << m_server.tlsInfo(QStringLiteral("anna")) << 0 << "Feltöltve: 0";
}

void ServerSyncTest::connectionFailures() {
    QFETCH(QString, conninfo);
    QFETCH(int, status);
    QFETCH(QString, says);
    TestRoot root;
    const CliRun r =
        runCli({QStringLiteral("sync"), QStringLiteral("--root"), root.path(), QStringLiteral("--db"), conninfo});
    QCOMPARE(r.status, status);
    QVERIFY2(QString::fromUtf8(r.out + r.err).contains(says), (r.out + r.err).constData());
}

// What the program shows for each file ("feltöltve", "vár", "hiba") comes from a check that
// must not upload, and an upload after a save looks at the saved file alone.
void ServerSyncTest::checkingTellsEachFileAndUploadsNothing() {
    using Institution::FileState;
    TestRoot root;
    write(root, QStringLiteral("S1.kvx"), sampleExamination(1));
    write(root, QStringLiteral("S2.kvx"), sampleExamination(2));
    root.put(QStringLiteral("gy_vkt/archivum/ROSSZ.kvx"), "csak egy sor\r\n");
    const QString folder = root.root().archiveFolder();
    const GcrKey key = GcrKey::parse(TestRoot::sampleKey(), QStringLiteral("key.gcr"));
    Institution::Connection connection(m_server.socketInfo(QStringLiteral("emil")));
    const QString client = Institution::clientIdentity(folder);
    Institution::SyncReport report = Institution::ArchiveSync::run(
        connection, folder, key, client, Institution::ArchiveSync::Mode::Upload, {}, {QStringLiteral("S1.kvx")});
    QCOMPARE(report.files.size(), 1);
    QCOMPARE(report.files.first().state, FileState::State::Uploaded);
    report = Institution::ArchiveSync::run(connection, folder, key, client, Institution::ArchiveSync::Mode::Check);
    QList<FileState::State> states;
    for (const FileState& file : report.files)
        states << file.state;
    QCOMPARE(states, (QList<FileState::State>{FileState::State::Refused, FileState::State::Unchanged,
                                              FileState::State::Pending}));
    QVERIFY(report.files.first().reason.contains(QStringLiteral("Hibás vizsgálati fájl")));
    QCOMPARE(ownerValue(QStringLiteral("SELECT count(*) FROM gyvkt.version WHERE uploaded_by = '%1'")
                            .arg(m_server.login(QStringLiteral("emil")))),
             QStringLiteral("1"));
}

void ServerSyncTest::twoComputersKeepBothVersions() {
    TestRoot office;
    TestRoot home;
    write(office, QStringLiteral("X.kvx"), sampleExamination(1));
    QCOMPARE(sync(office, QStringLiteral("bori")).status, 0);
    QCOMPARE(pull(home.root().archiveFolder(), QStringLiteral("bori")).status, 0);
    write(office, QStringLiteral("X.kvx"), sampleExamination(2));
    write(home, QStringLiteral("X.kvx"), sampleExamination(3));
    QVERIFY(!sync(office, QStringLiteral("bori")).out.contains("X.kvx"));
    CliRun r = sync(home, QStringLiteral("bori"));
    QVERIFY2(r.out.contains("X.kvx: a kiszolgálón több újabb változata"), r.out.constData());
    const QString counts =
        QStringLiteral("SELECT count(*), count(*) FILTER (WHERE NOT EXISTS (SELECT FROM gyvkt.succession s WHERE "
                       "s.superseded_id = v.id)) FROM gyvkt.version v JOIN gyvkt.examination e ON e.id = "
                       "v.examination_id WHERE e.owner_login = '%1'")
            .arg(m_server.login(QStringLiteral("bori")));
    QCOMPARE(ownerValue(counts), QStringLiteral("3|2"));

    // The office pulls: its own file stays, the other one comes beside it, and is not uploaded.
    r = pull(office.root().archiveFolder(), QStringLiteral("bori"));
    QCOMPARE(r.status, 1);
    const QString serverCopy = QStringLiteral("gy_vkt/archivum/X.kiszolgalorol.kvx");
    QCOMPARE(office.get(serverCopy), home.get(QStringLiteral("gy_vkt/archivum/X.kvx")));
    QCOMPARE(office.get(QStringLiteral("gy_vkt/archivum/X.kvx")), ExaminationFile::serialize(sampleExamination(2)));
    r = sync(office, QStringLiteral("bori"));
    QCOMPARE(r.status, 1);
    QVERIFY(r.err.contains("X.kiszolgalorol.kvx: a kiszolgáló példánya"));
    // Merged by hand and uploaded: one current version again.
    QFile::remove(office.path() + QLatin1Char('/') + serverCopy);
    write(office, QStringLiteral("X.kvx"), sampleExamination(4));
    QCOMPARE(sync(office, QStringLiteral("bori")).status, 0);
    QCOMPARE(ownerValue(counts), QStringLiteral("4|1"));
}

void ServerSyncTest::cutOffRunsStoreEachContentOnce() {
    TestRoot root;
    QSet<QString> local;
    for (int n = 0; n < 300; ++n) {
        write(root, QStringLiteral("N%1.kvx").arg(n, 3, 10, QLatin1Char('0')), sampleExamination(n));
        local << QString::fromLatin1(
            QCryptographicHash::hash(ExaminationFile::serialize(sampleExamination(n)), QCryptographicHash::Sha256)
                .toHex());
    }
    auto args = [&root, this](const QString& user) {
        return QStringList{QStringLiteral("sync"), QStringLiteral("--root"), root.path(), QStringLiteral("--db"),
                           m_server.socketInfo(user)};
    };
    // How long a whole run takes, measured on another examiner's upload of the same files; the
    // runs below are cut at tenths of it.
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(runCli(args(QStringLiteral("dora"))).status, 0);
    const qint64 whole = timer.elapsed();
    for (int cut = 1; cut <= 9; ++cut) {
        QProcess run;
        run.start(QStringLiteral(GYVKT_CLI_PATH), args(QStringLiteral("cecil")));
        QVERIFY(run.waitForStarted());
        QTest::qWait(static_cast<int>(whole * cut / 10));
        if (cut % 3 == 0)
            m_server.restart(); // the server stops under the run
        else
            run.kill(); // SIGKILL
        run.waitForFinished();
    }
    const CliRun last = runCli(args(QStringLiteral("cecil")));
    QVERIFY2(last.status == 0, last.err.constData());
    // Every distinct content once, each whole, each the current version of its examination.
    const QStringList digests =
        runSql(m_server.ownerInfo(), QStringLiteral("SELECT encode(c.sha256, 'hex') FROM gyvkt.content c JOIN "
                                                    "gyvkt.examination e ON e.id = c.examination_id WHERE "
                                                    "e.owner_login = '%1' AND c.sha256 = sha256(c.bytes)")
                                         .arg(m_server.login(QStringLiteral("cecil"))))
            .rows;
    QCOMPARE(digests.size(), local.size());
    QCOMPARE(QSet<QString>(digests.begin(), digests.end()), local);
    QCOMPARE(ownerValue(QStringLiteral("SELECT count(*) FROM gyvkt.version v JOIN gyvkt.examination e ON e.id = "
                                       "v.examination_id WHERE e.owner_login = '%1'")
                            .arg(m_server.login(QStringLiteral("cecil")))),
             QString::number(local.size()));
}

QTEST_GUILESS_MAIN(ServerSyncTest)
#include "tst_server_sync.moc"

void ServerSyncTest::storedColumnsAreTheProgramsOwn() {
    // What the server lists and gives research is what the program's own reader and evaluation
    // find in the file, compared with `gyvkt-cli evaluate --json` and the file's data: for new
    // files (sent as a block) and for a changed one (sent on its own), with a norm and without
    // one (whose result columns are null).
    TestRoot root;
    const QString login = m_server.login(QStringLiteral("gabi"));
    ExaminationData normed = sampleExamination(5);
    normed.personal.name = QStringLiteral("Kis \"Csibész\" \\ Ödön");
    ExaminationData unnormed = sampleExamination(6);
    unnormed.personal.age = 15;
    for (int round = 0; round < 2; ++round) {
        if (round == 1)
            normed.lines = sampleExamination(7).lines;
        write(root, QStringLiteral("normed.kvx"), normed);
        write(root, QStringLiteral("unnormed.kvx"), unnormed);
        QCOMPARE(sync(root, QStringLiteral("gabi")).status, 0);
        for (const auto& [name, data] :
             {std::pair{QStringLiteral("normed"), normed}, {QStringLiteral("unnormed"), unnormed}}) {
            const QString file = root.root().archiveFolder() + QLatin1Char('/') + name + QStringLiteral(".kvx");
            const CliRun evaluated = runCli({QStringLiteral("evaluate"), file, QStringLiteral("--json")}, QString(),
                                            {QStringLiteral("TAVRIX_ROOT=") + root.path()});
            QStringList fields;
            for (const ScoringLine& line : data.lines)
                fields << QStringList(line.fields.begin(), line.fields.end());
            const QString latest = QStringLiteral(
                "SELECT c.code, c.name, c.age, c.exam_date, c.scored, c.gcr_percent IS NULL, c.evaluation IS NULL, "
                "c.evaluation IS NULL OR c.evaluation::jsonb = $j$%1$j$::jsonb - 'code', "
                "array_to_string(c.scoring, '/') FROM gyvkt.version v JOIN gyvkt.content c ON c.id = v.content_id "
                "JOIN gyvkt.examination e ON e.id = v.examination_id WHERE e.owner_login = '%2' AND "
                "e.file_name = '%3.kvx' ORDER BY v.uploaded_at DESC LIMIT 1");
            const bool hasNorm = evaluated.status == 0;
            QCOMPARE(hasNorm, data.personal.age != 15);
            const QString json = hasNorm ? QString::fromUtf8(evaluated.out) : QStringLiteral("{}");
            QCOMPARE(
                ownerValue(latest.arg(json, login, name)),
                QStringList({name.toUpper(), data.personal.name, QString::number(data.personal.age), data.personal.date,
                             QStringLiteral("24"), QLatin1String(hasNorm ? "f" : "t"),
                             QLatin1String(hasNorm ? "f" : "t"), QStringLiteral("t"), fields.join(QLatin1Char('/'))})
                    .join(QLatin1Char('|')));
        }
    }
}

void ServerSyncTest::filesNearTheLimitGoTogether() {
    // Seventeen new files of almost 4 MiB each are more than one statement may carry at once:
    // they still go up whole, each stored once with its own bytes.
    TestRoot root;
    QSet<QString> digests;
    for (int n = 0; n < 17; ++n) {
        ExaminationData data = sampleExamination(n);
        data.answers[0] = QString(4000000, QLatin1Char('a' + n)) + QStringLiteral("\r\n");
        write(root, QStringLiteral("N%1.kvx").arg(n), data);
        digests << QString::fromLatin1(
            QCryptographicHash::hash(ExaminationFile::serialize(data), QCryptographicHash::Sha256).toHex());
    }
    const CliRun r = sync(root, QStringLiteral("hedi"));
    QVERIFY2(r.out.contains("Feltöltve: 17, változatlan: 0, elutasítva: 0"), (r.out + r.err).constData());
    const QStringList stored =
        runSql(m_server.ownerInfo(), QStringLiteral("SELECT encode(c.sha256, 'hex') FROM gyvkt.content c JOIN "
                                                    "gyvkt.examination e ON e.id = c.examination_id WHERE "
                                                    "e.owner_login = '%1' AND c.sha256 = sha256(c.bytes)")
                                         .arg(m_server.login(QStringLiteral("hedi"))))
            .rows;
    QCOMPARE(QSet<QString>(stored.begin(), stored.end()), digests);
    QCOMPARE(stored.size(), 17);
}
