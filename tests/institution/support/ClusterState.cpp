#include "ClusterState.h"

#include <QFile>

ClusterState ClusterState::read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("no PostgreSQL cluster described in %s (tests/institution/cluster.sh starts one)", qPrintable(path));
    ClusterState state;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QString text = QString::fromUtf8(line);
        const QString name = text.section(QLatin1Char('='), 0, 0);
        const QString value = text.section(QLatin1Char('='), 1);
        if (name == QLatin1String("dir"))
            state.dir = value;
        else if (name == QLatin1String("port"))
            state.port = value.toInt();
        else if (name == QLatin1String("bin"))
            state.bin = value;
        else if (name == QLatin1String("ca"))
            state.ca = value;
        else if (name == QLatin1String("wrongca"))
            state.wrongCa = value;
    }
    return state;
}

QString ClusterState::socketInfo(const QString& database, const QString& user, const QString& password) const {
    QString info = QStringLiteral("host=%1 port=%2 user=%3 dbname=%4").arg(dir).arg(port).arg(user, database);
    if (!password.isEmpty())
        info += QStringLiteral(" password=") + password;
    return info;
}
