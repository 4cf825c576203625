// Who reaches what on the institution's server: every role with plain SQL through libpq, and
// through the program, against the real server the fixture started.
#include "CliRun.h"
#include "TestRoot.h"
#include "TestServer.h"

#include <QtTest>

namespace {

const QString kInjectedFile = QStringLiteral("'); DROP TABLE gyvkt.audit; --.kvx");
const QString kInjectedName = QStringLiteral("Robert'); DROP TABLE gyvkt.content; --");
const QString kClient = QString(64, QLatin1Char('a'));

} // namespace

class ServerAccessTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void plainSql_data();
    void plainSql();
    void throughTheProgram_data();
    void throughTheProgram();
    void researchRowsNameNothing();
    void sqlInValuesStaysText();
    void secondInitChangesNothing();
    void removedExaminersWorkStaysWithTheTeam();

private:
    QString versionOf(const QString& fileName) const;
    void syncAs(const QString& user, const QList<std::pair<QString, ExaminationData>>& files);
    TestServer m_server;
    std::vector<std::unique_ptr<TestRoot>> m_roots;
};

void ServerAccessTest::initTestCase() {
    m_server.newDatabase();
    m_server.addTeam(QStringLiteral("Észak"));
    m_server.addTeam(QStringLiteral("Dél"));
    m_server.addUser(QStringLiteral("exa"), QStringLiteral("examiner"), QStringLiteral("Észak"));
    m_server.addUser(QStringLiteral("exb"), QStringLiteral("examiner"), QStringLiteral("Észak"));
    m_server.addUser(QStringLiteral("lead"), QStringLiteral("lead"), QStringLiteral("Észak"));
    m_server.addUser(QStringLiteral("exc"), QStringLiteral("examiner"), QStringLiteral("Dél"));
    m_server.addUser(QStringLiteral("res"), QStringLiteral("researcher"));
    m_server.addUser(QStringLiteral("adm"), QStringLiteral("admin"));
    ExaminationData injected = sampleExamination(4);
    injected.personal.name = kInjectedName;
    syncAs(QStringLiteral("exa"), {{QStringLiteral("A1.kvx"), sampleExamination(1)}, {kInjectedFile, injected}});
    syncAs(QStringLiteral("exb"), {{QStringLiteral("B1.kvx"), sampleExamination(2)}});
    syncAs(QStringLiteral("exc"), {{QStringLiteral("C1.kvx"), sampleExamination(3)}});
    // Statistics would give a count away if the catalog showed them to everyone.
    QVERIFY(runSql(m_server.ownerInfo(), QStringLiteral("ANALYZE")).ok);
}

void ServerAccessTest::syncAs(const QString& user, const QList<std::pair<QString, ExaminationData>>& files) {
    m_roots.push_back(std::make_unique<TestRoot>());
    for (const auto& [name, data] : files)
        ExaminationFile::write(m_roots.back()->root().archiveFolder() + QLatin1Char('/') + name, data);
    const CliRun r = runCli({QStringLiteral("sync"), QStringLiteral("--root"), m_roots.back()->path(),
                             QStringLiteral("--db"), m_server.socketInfo(user)});
    QVERIFY2(r.status == 0, r.err.constData());
}

QString ServerAccessTest::versionOf(const QString& fileName) const {
    const SqlResult r = runSql(m_server.ownerInfo(), QStringLiteral("SELECT v.id FROM gyvkt.version v JOIN "
                                                                    "gyvkt.examination e ON e.id = v.examination_id "
                                                                    "WHERE e.file_name = '%1'")
                                                         .arg(fileName));
    return r.rows.value(0);
}

// Each row: who, the statement ({B1}, {C1}: a version of that file; {client}: a client), and
// what comes back: the rows joined by ";", or the SQLSTATE of the refusal (42501: not allowed).
void ServerAccessTest::plainSql_data() {
    QTest::addColumn<QString>("who");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("expected");
    const QString denied = QStringLiteral("42501");
    auto row = [](const char* who, const char* sql, const QString& expected) {
        QTest::addRow("%s: %s", who, sql) << QString::fromLatin1(who) << QString::fromLatin1(sql) << expected;
    };
    row("exa", "SELECT count(*) FROM gyvkt.examination", QStringLiteral("2"));
    row("exa", "SELECT count(*) FROM gyvkt.examination WHERE owner_login <> session_user", QStringLiteral("0"));
    row("exa", "COPY (SELECT file_name FROM gyvkt.examination WHERE owner_login <> session_user) TO STDOUT", QString());
    row("exa", "COPY gyvkt.examination TO STDOUT", denied);
    row("exa", "SELECT count(*) FROM gyvkt.content", QStringLiteral("2"));
    row("exa", "SELECT count(*) FROM gyvkt.version", QStringLiteral("2"));
    row("exa", "SELECT count(*) FROM gyvkt.member", QStringLiteral("1"));
    row("exa", "SELECT count(*) FROM pg_stats WHERE schemaname = 'gyvkt' AND tablename <> 'schema_version'",
        QStringLiteral("0"));
    row("exa", "SELECT bytes FROM gyvkt.content", denied);
    row("exa", "SELECT pseudonym FROM gyvkt.examination", denied);
    row("exa", "SELECT length(gyvkt.fetch('{B1}', '{client}'))", denied);
    row("exa", "SELECT count(*) FROM gyvkt.holdings('{client}')", QStringLiteral("2"));
    row("exa", "CREATE TEMP VIEW mine AS SELECT file_name FROM gyvkt.examination; SELECT count(*) FROM mine",
        QStringLiteral("2"));
    row("exa", "SELECT count(*) FROM gyvkt.research", denied);
    row("exa", "UPDATE gyvkt.content SET name = 'x'", denied);
    row("exa", "DELETE FROM gyvkt.version", denied);
    row("exa", "INSERT INTO gyvkt.audit (action) VALUES ('hamis')", denied);
    row("exa", "SELECT count(*) FROM gyvkt.audit_trail", denied);
    row("exa", "SELECT gyvkt.add_user('x', 'admin', NULL, 'SCRAM-SHA-256$x')", denied);
    row("lead", "SELECT count(*) FROM gyvkt.examination", QStringLiteral("3"));
    row("lead",
        "SELECT count(DISTINCT owner_login) FROM gyvkt.content c JOIN gyvkt.examination e ON e.id = "
        "c.examination_id",
        QStringLiteral("2"));
    row("lead", "SELECT length(gyvkt.fetch('{B1}', '{client}')) > 0", QStringLiteral("t"));
    row("lead", "SELECT length(gyvkt.fetch('{C1}', '{client}'))", denied);
    row("exc", "SELECT count(*) FROM gyvkt.examination", QStringLiteral("1"));
    row("exc", "SELECT length(gyvkt.fetch('{B1}', '{client}'))", denied);
    row("res", "SELECT count(*) FROM gyvkt.research", QStringLiteral("4"));
    row("res",
        "SELECT string_agg(attname, ',' ORDER BY attnum) FROM pg_attribute WHERE attrelid = "
        "'gyvkt.research'::regclass AND attnum > 0",
        QStringLiteral("pseudonym,sex,age,exam_year,exam_month,scoring,evaluation"));
    for (const char* sql :
         {"SELECT count(*) FROM gyvkt.examination", "SELECT count(*) FROM gyvkt.content",
          "SELECT count(*) FROM gyvkt.version", "SELECT count(*) FROM gyvkt.member", "SELECT count(*) FROM gyvkt.audit",
          "SELECT count(*) FROM gyvkt.holdings('{client}')", "SELECT length(gyvkt.fetch('{B1}', '{client}'))"})
        row("res", sql, denied);
    row("adm", "SELECT count(*) > 0 FROM gyvkt.audit_trail WHERE action = 'upload'", QStringLiteral("t"));
    row("adm", "SELECT count(*) FROM gyvkt.content", denied);
    row("adm", "SELECT count(*) FROM gyvkt.examination", denied);
    row("adm", "UPDATE gyvkt.audit SET detail = ''", denied);
    row("adm", "DELETE FROM gyvkt.audit", denied);
    // The schema's owner is refused by the tables themselves.
    row("owner", "UPDATE gyvkt.audit SET detail = ''", denied);
    row("owner", "UPDATE gyvkt.content SET name = ''", denied);
    row("owner", "DELETE FROM gyvkt.version", denied);
    row("owner", "TRUNCATE gyvkt.content CASCADE", denied);
    // Rows that refer to nothing are refused, whoever writes them, and what they refer to stays.
    const QString dangling = QStringLiteral("23503");
    row("owner", "INSERT INTO gyvkt.examination (owner_id, owner_login, file_name) VALUES (-1, 'x', 'x.kvx')",
        dangling);
    row("owner",
        "INSERT INTO gyvkt.version (examination_id, content_id, uploaded_by, client) SELECT c.examination_id, "
        "gen_random_uuid(), 'x', 'x' FROM gyvkt.content c LIMIT 1",
        dangling);
    row("owner",
        "INSERT INTO gyvkt.version (examination_id, content_id, uploaded_by, client) SELECT e.id, c.id, 'x', 'x' "
        "FROM gyvkt.examination e JOIN gyvkt.content c ON c.examination_id <> e.id LIMIT 1",
        dangling);
    row("owner", "DELETE FROM gyvkt.member", denied);
    row("owner", "DELETE FROM gyvkt.team", denied);
    // The file-name rule at each of its edges: 255 characters at most, none hidden, no folder,
    // no control character, ".kvx" in either case at the end.
    row("owner",
        "SELECT string_agg(gyvkt.valid_file_name(n)::text, ',' ORDER BY o) FROM unnest(ARRAY['a.kvx', 'A.KVX', "
        "repeat(chr(233), 251) || '.kvx', repeat(chr(233), 252) || '.kvx', '.a.kvx', 'a/b.kvx', 'a\\b.kvx', "
        "'a' || chr(9) || 'b.kvx', 'a.kvx.txt', '.kvx', 'akvx']) WITH ORDINALITY AS t(n, o)",
        QStringLiteral("true,true,true,false,false,false,false,false,false,false,false"));
    row("res",
        "SELECT count(*) FROM gyvkt.research WHERE jsonb_typeof(evaluation) = 'object' AND NOT evaluation ? 'code'",
        QStringLiteral("4"));
}

void ServerAccessTest::plainSql() {
    QFETCH(QString, who);
    QFETCH(QString, sql);
    QFETCH(QString, expected);
    sql.replace(QStringLiteral("{B1}"), versionOf(QStringLiteral("B1.kvx")))
        .replace(QStringLiteral("{C1}"), versionOf(QStringLiteral("C1.kvx")))
        .replace(QStringLiteral("{client}"), kClient);
    const QString conninfo = who == QLatin1String("owner") ? m_server.ownerInfo() : m_server.socketInfo(who);
    const SqlResult r = runSql(conninfo, sql);
    QCOMPARE(r.ok ? r.rows.join(QLatin1Char(';')) : r.sqlState, expected);
}

void ServerAccessTest::throughTheProgram_data() {
    QTest::addColumn<QString>("who");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("says");
    const QString pull = QStringLiteral("pull");
    const QString audit = QStringLiteral("audit");
    const QString server = QStringLiteral("server");
    QTest::newRow("examiner pulls own") << "exa" << QStringList{pull} << 0 << "Letöltve: 2,";
    QTest::newRow("lead pulls team") << "lead" << QStringList{pull} << 0 << "Letöltve: 3,";
    QTest::newRow("other team pulls own") << "exc" << QStringList{pull} << 0 << "Letöltve: 1,";
    QTest::newRow("researcher pulls") << "res" << QStringList{pull} << 2 << "nem engedi";
    QTest::newRow("researcher syncs") << "res" << QStringList{QStringLiteral("sync")} << 2 << "nem engedi";
    QTest::newRow("examiner reads audit") << "exa" << QStringList{server, audit} << 2 << "nem engedi";
    QTest::newRow("examiner adds team") << "exa" << QStringList{server, QStringLiteral("add-team"), QStringLiteral("X")}
                                        << 2 << "nem engedi";
    QTest::newRow("admin reads audit") << "adm" << QStringList{server, audit} << 0 << "\tupload\t";
    QTest::newRow("lead's role") << "lead" << QStringList{server, QStringLiteral("whoami")} << 0
                                 << "csoportvezető (csoport: Észak)";
}

void ServerAccessTest::throughTheProgram() {
    QFETCH(QString, who);
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, says);
    TestRoot root;
    if (args.first() == QLatin1String("pull"))
        args << QStringLiteral("--to") << root.path() + QStringLiteral("/le");
    if (args.first() == QLatin1String("sync"))
        args << QStringLiteral("--root") << root.path();
    const CliRun r = runCli(args << QStringLiteral("--db") << m_server.socketInfo(who));
    QCOMPARE(r.status, status);
    QVERIFY2(QString::fromUtf8(r.out + r.err).contains(says), (r.out + r.err).constData());
}

void ServerAccessTest::researchRowsNameNothing() {
    const SqlResult r =
        runSql(m_server.socketInfo(QStringLiteral("res")), QStringLiteral("SELECT r::text FROM gyvkt.research r"));
    QVERIFY(r.ok);
    QCOMPARE(r.rows.size(), 4);
    for (const QString& row : r.rows) {
        for (int n = 1; n <= 4; ++n) {
            const ExaminationData d = sampleExamination(n);
            for (const QString& identifying : {d.personal.name, d.personal.date, d.personal.examiner})
                QVERIFY2(!row.contains(identifying), qPrintable(row));
        }
        for (const char* code : {"A1", "B1", "C1", "Robert", "DROP", "exa", "exb", "exc"})
            QVERIFY2(!row.contains(QLatin1String(code)), qPrintable(row));
    }
}

void ServerAccessTest::sqlInValuesStaysText() {
    const SqlResult stored = runSql(m_server.socketInfo(QStringLiteral("exa")),
                                    QStringLiteral("SELECT e.file_name, c.name, c.code FROM gyvkt.content c JOIN "
                                                   "gyvkt.examination e ON e.id = c.examination_id WHERE c.name "
                                                   "LIKE 'Robert%'"));
    QCOMPARE(stored.rows, QStringList{kInjectedFile + QLatin1Char('|') + kInjectedName + QLatin1Char('|') +
                                      ExaminationFile::codeFromPath(kInjectedFile)});
    TestRoot root;
    const CliRun r = runCli({QStringLiteral("pull"), QStringLiteral("--to"), root.path(), QStringLiteral("--db"),
                             m_server.socketInfo(QStringLiteral("exa"))});
    QCOMPARE(r.status, 0);
    QCOMPARE(root.get(kInjectedFile), m_roots.front()->get(QStringLiteral("gy_vkt/archivum/") + kInjectedFile));
}

void ServerAccessTest::secondInitChangesNothing() {
    const QString objects = QStringLiteral("SELECT count(*), (SELECT count(*) FROM gyvkt.schema_version) FROM "
                                           "pg_class WHERE relnamespace = 'gyvkt'::regnamespace");
    const SqlResult before = runSql(m_server.ownerInfo(), objects);
    const CliRun r =
        runCli({QStringLiteral("server"), QStringLiteral("init"), QStringLiteral("--db"), m_server.ownerInfo()});
    QCOMPARE(r.status, 0);
    QVERIFY(r.out.contains("semmi sem változott"));
    QCOMPARE(runSql(m_server.ownerInfo(), objects).rows, before.rows);
}

void ServerAccessTest::removedExaminersWorkStaysWithTheTeam() {
    const CliRun removed =
        runCli({QStringLiteral("server"), QStringLiteral("remove-user"), m_server.login(QStringLiteral("exb")),
                QStringLiteral("--db"), m_server.socketInfo(QStringLiteral("adm"))});
    QVERIFY2(removed.status == 0, removed.err.constData());
    QVERIFY(!runSql(m_server.socketInfo(QStringLiteral("exb")), QStringLiteral("SELECT 1")).ok);
    const QString b1 = QStringLiteral("SELECT count(*) FROM gyvkt.examination WHERE file_name = 'B1.kvx'");
    QCOMPARE(runSql(m_server.socketInfo(QStringLiteral("lead")), b1).rows, QStringList{QStringLiteral("1")});
    // A new person under the old login starts with nothing of the old one's.
    m_server.addUser(QStringLiteral("exb"), QStringLiteral("examiner"), QStringLiteral("Észak"));
    QCOMPARE(runSql(m_server.socketInfo(QStringLiteral("exb")), b1).rows, QStringList{QStringLiteral("0")});
}

QTEST_GUILESS_MAIN(ServerAccessTest)
#include "tst_server_access.moc"
