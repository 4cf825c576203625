// The institution settings of a data folder: the address libpq reads from them, and what the
// settings file keeps.
#include "TestRoot.h"
#include "institution/ServerSettings.h"

#include <QtTest>

using Institution::ServerSettings;

class ServerSettingsTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { qunsetenv("GYVKT_DB"); }
    void addressAsLibpqReadsIt_data();
    void addressAsLibpqReadsIt();
    void fileKeepsEveryValue();
    void environmentIsNeverWritten();
};

void ServerSettingsTest::addressAsLibpqReadsIt_data() {
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("connectionString");
    QTest::addColumn<QString>("login");
    QTest::addColumn<QString>("described");
    QTest::newRow("parts") << "db.example.org"
                           << ""
                           << "anna"
                           << "anna@db.example.org:6000/gyvkt";
    // Fault: a value that carries a keyword of its own (another database) gets it in.
    QTest::newRow("a value with a keyword in it") << "x' dbname='evil"
                                                  << ""
                                                  << "anna"
                                                  << "anna@x' dbname='evil:6000/gyvkt";
    QTest::newRow("a backslash and a space") << "c:\\a b"
                                             << ""
                                             << "anna"
                                             << "anna@c:\\a b:6000/gyvkt";
    // Fault: the login of the settings does not win over the connection string's.
    QTest::newRow("connection string, login over it") << "ignored"
                                                      << "postgresql://other@srv:5433/arch?sslmode=prefer"
                                                      << "anna"
                                                      << "anna@srv:5433/arch";
}

// Checked against libpq's own reading of the address, not against the text built.
void ServerSettingsTest::addressAsLibpqReadsIt() {
    QFETCH(QString, host);
    QFETCH(QString, connectionString);
    QFETCH(QString, login);
    QFETCH(QString, described);
    ServerSettings s;
    s.host = host;
    s.port = QStringLiteral("6000");
    s.database = QStringLiteral("gyvkt");
    s.connectionString = connectionString;
    s.login = login;
    QCOMPARE(s.address().describe(), described);
    QVERIFY(!s.address().holdsPassword());
}

// Fault: a value with "=" or spaces around it, or a flag, does not come back as it was written.
void ServerSettingsTest::fileKeepsEveryValue() {
    TestRoot root;
    ServerSettings s;
    s.connectionString = QStringLiteral(" host=a dbname=b ");
    s.login = QStringLiteral("anna.kovacs@intezmeny");
    s.requireTls = true;
    s.rememberPassword = true;
    s.save(root.root());
    QVERIFY(ServerSettings::load(root.root()) == s);
    QVERIFY(!ServerSettings::load(TestRoot().root()).isConfigured());
}

// Fault: the environment's connection string, which may hold a password, lands in the file.
void ServerSettingsTest::environmentIsNeverWritten() {
    TestRoot root;
    qputenv("GYVKT_DB", "host=srv dbname=arch user=anna password=titok");
    ServerSettings s = ServerSettings::load(root.root());
    QVERIFY(s.fromEnvironment);
    QVERIFY(s.address().holdsPassword());
    QCOMPARE(s.address().describe(), QStringLiteral("anna@srv:5432/arch"));
    s.rememberPassword = true;
    s.save(root.root());
    QVERIFY(!root.get(QStringLiteral("gy_vkt/intezmeny.txt")).contains("titok"));
    qunsetenv("GYVKT_DB");
    const ServerSettings stored = ServerSettings::load(root.root());
    QVERIFY(!stored.isConfigured());
    QVERIFY(stored.rememberPassword);
}

QTEST_GUILESS_MAIN(ServerSettingsTest)
#include "tst_server_settings.moc"
