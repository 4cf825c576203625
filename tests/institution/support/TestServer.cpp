#include "TestServer.h"

#include "CliRun.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryFile>
#include <QtTest>

#include <libpq-fe.h>

TestServer::TestServer() : m_cluster(ClusterState::read(qEnvironmentVariable("GYVKT_TEST_SERVER"))) {}

QString TestServer::newDatabase() {
    m_database = QStringLiteral("t%1").arg(QRandomGenerator::global()->generate64() % 1000000000000ULL);
    const SqlResult made =
        runSql(m_cluster.socketInfo(QStringLiteral("postgres")), QStringLiteral("CREATE DATABASE %1").arg(m_database));
    if (!made.ok)
        qFatal("CREATE DATABASE: %s", qPrintable(made.error));
    const CliRun init = runCli({QStringLiteral("server"), QStringLiteral("init"), QStringLiteral("--db"), ownerInfo()});
    if (init.status != 0)
        qFatal("server init: %s", init.err.constData());
    return m_database;
}

QString TestServer::login(const QString& name) const {
    return m_database + QLatin1Char('_') + name;
}

QString TestServer::ownerInfo() const {
    return m_cluster.socketInfo(m_database);
}

QString TestServer::socketInfo(const QString& name) const {
    return m_cluster.socketInfo(m_database, login(name), password());
}

QString TestServer::tlsInfo(const QString& name, bool rightRoot) const {
    return QStringLiteral("postgresql://%1:%2@localhost:%3/%4?hostaddr=127.0.0.1&sslmode=verify-full&sslrootcert=%5")
        .arg(login(name), password())
        .arg(m_cluster.port)
        .arg(m_database, rightRoot ? m_cluster.ca : m_cluster.wrongCa);
}

void TestServer::addTeam(const QString& team) const {
    const CliRun r =
        runCli({QStringLiteral("server"), QStringLiteral("add-team"), team, QStringLiteral("--db"), ownerInfo()});
    QVERIFY2(r.status == 0, r.err.constData());
}

void TestServer::addUser(const QString& name, const QString& role, const QString& team) const {
    QTemporaryFile passwordFile;
    QVERIFY(passwordFile.open());
    passwordFile.write(password().toUtf8() + "\n");
    passwordFile.flush();
    QStringList args{QStringLiteral("server"),
                     QStringLiteral("add-user"),
                     login(name),
                     QStringLiteral("--role"),
                     role,
                     QStringLiteral("--password-file"),
                     passwordFile.fileName(),
                     QStringLiteral("--db"),
                     ownerInfo()};
    if (!team.isEmpty())
        args << QStringLiteral("--team") << team;
    const CliRun r = runCli(args);
    QVERIFY2(r.status == 0, r.err.constData());
}

void TestServer::restart() const {
    QProcess script;
    script.start(QStringLiteral("bash"), {QStringLiteral(GYVKT_CLUSTER_SCRIPT), QStringLiteral("restart"),
                                          qEnvironmentVariable("GYVKT_TEST_SERVER")});
    QVERIFY(script.waitForFinished(120000));
    QCOMPARE(script.exitCode(), 0);
}

SqlResult runSql(const QString& conninfo, const QString& sql) {
    SqlResult out;
    PGconn* conn = PQconnectdb(conninfo.toUtf8().constData());
    if (PQstatus(conn) != CONNECTION_OK) {
        out.error = QString::fromUtf8(PQerrorMessage(conn));
        PQfinish(conn);
        return out;
    }
    PGresult* result = PQexec(conn, sql.toUtf8().constData());
    const ExecStatusType status = PQresultStatus(result);
    if (status == PGRES_COPY_OUT) {
        char* line = nullptr;
        while (PQgetCopyData(conn, &line, 0) > 0) {
            out.rows << QString::fromUtf8(line).trimmed();
            PQfreemem(line);
        }
        PQclear(result);
        result = PQgetResult(conn);
    }
    out.ok = PQresultStatus(result) == PGRES_TUPLES_OK || PQresultStatus(result) == PGRES_COMMAND_OK;
    out.sqlState = QString::fromUtf8(PQresultErrorField(result, PG_DIAG_SQLSTATE));
    out.error = QString::fromUtf8(PQresultErrorMessage(result));
    for (int r = 0; r < PQntuples(result); ++r) {
        QStringList columns;
        for (int c = 0; c < PQnfields(result); ++c)
            columns << QString::fromUtf8(PQgetvalue(result, r, c));
        out.rows << columns.join(QLatin1Char('|'));
    }
    PQclear(result);
    while ((result = PQgetResult(conn)))
        PQclear(result);
    PQfinish(conn);
    return out;
}

ExaminationData sampleExamination(int n) {
    static const char* const codes[] = {"EV", "IV", "MV", "NE", "EE", "NI", "II", "NM", "KE", "KI", "KM"};
    ExaminationData d;
    d.personal.name = QStringLiteral("Próba Gyerek %1").arg(n);
    d.personal.sex = n % 2 ? PersonalData::Sex::Girl : PersonalData::Sex::Boy;
    d.personal.age = 7 + n % 8;
    d.personal.date =
        QStringLiteral("2024.%1.%2.").arg(1 + n % 12, 2, 10, QLatin1Char('0')).arg(1 + n % 28, 2, 10, QLatin1Char('0'));
    d.personal.examiner = QStringLiteral("Dr. Teszt");
    for (size_t p = 0; p < d.lines.size(); ++p) {
        const size_t pick = (p * 7 + static_cast<size_t>(n) * 3) % 11;
        const size_t column = pick < 3 ? 0 : pick < 8 ? 1 : 2;
        d.lines[p].fields[column] = QString::fromLatin1(codes[pick]);
        d.answers[p] = QStringLiteral("válasz %1\r\n").arg(p + 1);
    }
    return d;
}
