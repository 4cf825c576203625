#include "BenchServer.h"

#include "institution/Accounts.h"
#include "institution/Connection.h"
#include "institution/Schema.h"

#include <QCoreApplication>
#include <QFile>
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
    QFile state(stateFile(m_state));
    if (!state.open(QIODevice::ReadOnly))
        qFatal("no state of the benchmark's server");
    for (const QByteArray& line : state.readAll().split('\n')) {
        const QString text = QString::fromUtf8(line);
        const QString value = text.section(QLatin1Char('='), 1);
        if (text.startsWith(QLatin1String("dir=")))
            m_dir = value;
        else if (text.startsWith(QLatin1String("port=")))
            m_port = value.toInt();
        else if (text.startsWith(QLatin1String("bin=")))
            m_bin = value;
    }
}

BenchServer::~BenchServer() {
    runScript({QStringLiteral("stop"), stateFile(m_state)});
}

void BenchServer::newDatabase() {
    static int made = 0;
    m_database = QStringLiteral("bench%1").arg(++made);
    {
        Connection postgres(QStringLiteral("host=%1 port=%2 user=postgres dbname=postgres").arg(m_dir).arg(m_port));
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
    return QStringLiteral("host=%1 port=%2 user=postgres dbname=%3").arg(m_dir).arg(m_port).arg(m_database);
}

QString BenchServer::loginInfo(const QString& login) const {
    return QStringLiteral("host=%1 port=%2 user=%3_%4 password=%5 dbname=%3")
        .arg(m_dir)
        .arg(m_port)
        .arg(m_database, login, QString::fromLatin1(kPassword));
}

QString BenchServer::examinerInfo() const {
    return loginInfo(QStringLiteral("vizsgalo"));
}

QString BenchServer::researcherInfo() const {
    return loginInfo(QStringLiteral("kutato"));
}

QString BenchServer::psqlPath() const {
    return m_bin + QStringLiteral("/psql");
}
