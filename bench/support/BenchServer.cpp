#include "BenchServer.h"

#include "institution/Accounts.h"
#include "institution/Connection.h"
#include "institution/Schema.h"

#include <QCoreApplication>
#include <QProcess>

using namespace Institution;

namespace {

const QByteArray kPassword = "bench-jelszo";

QString stateFile(const QTemporaryDir& dir) {
    return dir.filePath(QStringLiteral("server.state"));
}

void runScript(const QStringList& args) {
    QProcess script;
    script.setProcessChannelMode(QProcess::ForwardedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("GYVKT_PG_FSYNC"), QStringLiteral("on"));
    script.setProcessEnvironment(environment);
    script.start(QStringLiteral("bash"), QStringList{QStringLiteral(GYVKT_CLUSTER_SCRIPT)} + args);
    if (!script.waitForFinished(300000) || script.exitCode() != 0)
        qFatal("the benchmark's server did not start");
}

} // namespace

BenchServer::BenchServer() {
    runScript({QStringLiteral("start"), stateFile(m_state), QString::number(QCoreApplication::applicationPid())});
    m_cluster = ClusterState::read(stateFile(m_state));
}

BenchServer::~BenchServer() {
    runScript({QStringLiteral("stop"), stateFile(m_state)});
}

void BenchServer::newDatabase() {
    static int made = 0;
    m_database = QStringLiteral("bench%1").arg(++made);
    {
        Connection postgres(m_cluster.socketInfo(QStringLiteral("postgres")));
        postgres.exec(QStringLiteral("CREATE DATABASE %1").arg(m_database).toUtf8().constData());
    }
    Connection owner(ownerInfo());
    Schema::migrate(owner);
    Accounts::addTeam(owner, QStringLiteral("Mérés"));
    Accounts::addUser(owner, m_database + QStringLiteral("_vizsgalo"), Accounts::Role::Examiner,
                      QStringLiteral("Mérés"), kPassword);
    Accounts::addUser(owner, m_database + QStringLiteral("_kutato"), Accounts::Role::Researcher, QString(), kPassword);
}

QString BenchServer::ownerInfo() const {
    return m_cluster.socketInfo(m_database);
}

QString BenchServer::loginInfo(const QString& login) const {
    return m_cluster.socketInfo(m_database, m_database + QLatin1Char('_') + login, QString::fromLatin1(kPassword));
}

QString BenchServer::examinerInfo() const {
    return loginInfo(QStringLiteral("vizsgalo"));
}

QString BenchServer::researcherInfo() const {
    return loginInfo(QStringLiteral("kutato"));
}

QString BenchServer::psqlPath() const {
    return m_cluster.bin + QStringLiteral("/psql");
}
