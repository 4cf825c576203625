// export --db and norms --db against the real server: the same table, codebook and figures as the
// local anonymized export and norms of the same examinations, under pseudonyms that stay.
#include "CliRun.h"
#include "TestRoot.h"
#include "TestServer.h"
#include "base/AtomicFile.h"
#include "institution/Connection.h"
#include "institution/ResearchArchive.h"
#include "model/GcrKey.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

namespace {

QList<QStringList> csvRows(const QByteArray& bytes) {
    QList<QStringList> rows;
    for (const QString& line : QString::fromUtf8(bytes).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        rows << line.split(QLatin1Char(','));
    return rows;
}

// The data rows with their first field (the serial or the pseudonym) left out, sorted: what two
// exports of the same examinations share whatever order their codes put them in.
QStringList withoutCodes(const QList<QStringList>& rows) {
    QStringList rest;
    for (qsizetype r = 1; r < rows.size(); ++r)
        rest << rows.at(r).mid(1).join(QLatin1Char(','));
    rest.sort();
    return rest;
}

} // namespace

class ServerResearchTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void exportMatchesTheLocalAnonymizedOne();
    void normsMatchTheLocalOnes();
    void pseudonymsStayAcrossVersions();
    void onlyResearchersExport();
    void failedExportKeepsTheOldSet();

private:
    CliRun research(QStringList args, const QString& user = QStringLiteral("res")) const;
    QStringList pseudonyms() const;
    TestServer m_server;
    TestRoot m_root;
    QString m_key;
};

void ServerResearchTest::initTestCase() {
    m_server.newDatabase();
    m_server.addTeam(QStringLiteral("Kutatás"));
    m_server.addUser(QStringLiteral("exa"), QStringLiteral("examiner"), QStringLiteral("Kutatás"));
    m_server.addUser(QStringLiteral("res"), QStringLiteral("researcher"));
    m_root.put(QStringLiteral("key.gcr"), TestRoot::sampleKey());
    m_key = m_root.path() + QStringLiteral("/key.gcr");
    // Ages 7 to 14 and beyond the norms (an error row), a few pictures unmarked (no protocol).
    for (int n = 0; n < 24; ++n) {
        ExaminationData d = sampleExamination(n);
        d.personal.age = 6 + n % 10;
        if (n % 5 == 0)
            for (size_t p = 0; p < 10; ++p)
                d.lines[p] = ScoringLine();
        ExaminationFile::write(m_root.root().archiveFolder() + QStringLiteral("/E%1.kvx").arg(n), d);
    }
    const CliRun sync = runCli({QStringLiteral("sync"), QStringLiteral("--root"), m_root.path(), QStringLiteral("--db"),
                                m_server.socketInfo(QStringLiteral("exa"))});
    QVERIFY2(sync.status == 0, sync.err.constData());
}

CliRun ServerResearchTest::research(QStringList args, const QString& user) const {
    return runCli(args << QStringLiteral("--gcr") << m_key << QStringLiteral("--db") << m_server.socketInfo(user));
}

QStringList ServerResearchTest::pseudonyms() const {
    return runSql(m_server.socketInfo(QStringLiteral("res")),
                  QStringLiteral("SELECT pseudonym FROM gyvkt.research ORDER BY 1"))
        .rows;
}

void ServerResearchTest::exportMatchesTheLocalAnonymizedOne() {
    const QString local = m_root.path() + QStringLiteral("/local.csv");
    const QString server = m_root.path() + QStringLiteral("/server.csv");
    const CliRun made = runCli({QStringLiteral("export"), m_root.root().archiveFolder(), QStringLiteral("-o"), local,
                                QStringLiteral("--anonymize"), QStringLiteral("--gcr"), m_key});
    QCOMPARE(made.status, 0);
    const CliRun r = research({QStringLiteral("export"), QStringLiteral("-o"), server});
    QVERIFY2(r.status == 0, r.err.constData());

    const QList<QStringList> localRows = csvRows(m_root.get(QStringLiteral("local.csv")));
    const QList<QStringList> serverRows = csvRows(m_root.get(QStringLiteral("server.csv")));
    QCOMPARE(serverRows.value(0), localRows.value(0));
    QCOMPARE(serverRows.size(), 25);
    QCOMPARE(withoutCodes(serverRows), withoutCodes(localRows));
    // The rows follow the pseudonyms, which are the server's and no serials.
    QStringList codes;
    for (qsizetype i = 1; i < serverRows.size(); ++i)
        codes << serverRows.at(i).first();
    QCOMPARE(codes, pseudonyms());
    // Every line of the codebook but the code's own description.
    const QList<QStringList> localBook = csvRows(m_root.get(QStringLiteral("local.codebook.csv")));
    const QList<QStringList> serverBook = csvRows(m_root.get(QStringLiteral("server.codebook.csv")));
    QCOMPARE(serverBook.size(), localBook.size());
    for (qsizetype i = 0; i < localBook.size(); ++i) {
        if (localBook.at(i).first() != QLatin1String("code"))
            QCOMPARE(serverBook.at(i), localBook.at(i));
    }
}

void ServerResearchTest::normsMatchTheLocalOnes() {
    const CliRun local = runCli({QStringLiteral("norms"), m_root.root().archiveFolder(), QStringLiteral("--json"),
                                 QStringLiteral("--gcr"), m_key});
    const CliRun server = research({QStringLiteral("norms"), QStringLiteral("--json")});
    QCOMPARE(server.status, 0);
    const QJsonObject a = QJsonDocument::fromJson(local.out).object();
    const QJsonObject b = QJsonDocument::fromJson(server.out).object();
    QVERIFY(!a.value(QStringLiteral("brackets")).toArray().isEmpty());
    QCOMPARE(b.value(QStringLiteral("brackets")), a.value(QStringLiteral("brackets")));
    QCOMPARE(b.value(QStringLiteral("left_out")).toArray().size(),
             a.value(QStringLiteral("left_out")).toArray().size());
}

void ServerResearchTest::pseudonymsStayAcrossVersions() {
    const QStringList before = pseudonyms();
    ExaminationFile::write(m_root.root().archiveFolder() + QStringLiteral("/E3.kvx"), sampleExamination(99));
    const CliRun sync = runCli({QStringLiteral("sync"), QStringLiteral("--root"), m_root.path(), QStringLiteral("--db"),
                                m_server.socketInfo(QStringLiteral("exa"))});
    QVERIFY(sync.out.contains("Feltöltve: 1,"));
    QCOMPARE(pseudonyms(), before);
}

void ServerResearchTest::onlyResearchersExport() {
    const CliRun r =
        research({QStringLiteral("export"), QStringLiteral("-o"), m_root.path() + QStringLiteral("/x.csv")},
                 QStringLiteral("exa"));
    QCOMPARE(r.status, 2);
    QVERIFY(r.err.contains("nem engedi"));
    QVERIFY(!QFile::exists(m_root.path() + QStringLiteral("/x.csv")));
    const CliRun audit =
        runCli({QStringLiteral("server"), QStringLiteral("audit"), QStringLiteral("--db"), m_server.ownerInfo()});
    QVERIFY(audit.out.contains("\texport\t"));
    QVERIFY(audit.out.contains("\tnorms"));
}

// A table that cannot be put in place must not leave a new codebook beside the old table.
void ServerResearchTest::failedExportKeepsTheOldSet() {
    const QString table = m_root.path() + QStringLiteral("/regi.csv");
    QCOMPARE(research({QStringLiteral("export"), QStringLiteral("-o"), table, QStringLiteral("--excel")}).status, 0);
    const QByteArray oldTable = m_root.get(QStringLiteral("regi.csv"));
    const QByteArray oldCodebook = m_root.get(QStringLiteral("regi.codebook.csv"));
    Institution::Connection connection(m_server.socketInfo(QStringLiteral("res")));
    const GcrKey key = GcrKey::parse(TestRoot::sampleKey(), m_key);
    AtomicFile::injectFault(AtomicFile::Fault{AtomicFile::Step::Sync, 0, QStringLiteral("/regi.csv")});
    QVERIFY_THROWS_EXCEPTION(UserError,
                             Institution::ResearchArchive::exportTable(connection, table, key, CsvDialect::standard()));
    AtomicFile::injectFault(std::nullopt);
    QCOMPARE(m_root.get(QStringLiteral("regi.csv")), oldTable);
    QCOMPARE(m_root.get(QStringLiteral("regi.codebook.csv")), oldCodebook);
}

QTEST_GUILESS_MAIN(ServerResearchTest)
#include "tst_server_research.moc"
