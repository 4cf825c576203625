#pragma once

#include <QString>

// What cluster.sh start wrote about the cluster it started: the server tests and the benchmarks
// read it alike.
struct ClusterState {
    QString dir;  // the cluster's folder, where its socket is
    int port = 0; // on 127.0.0.1
    QString bin;  // PostgreSQL's programs
    QString ca;   // the root certificate of the server's
    QString wrongCa;

    // Stops the run (qFatal) when the file cannot be read: nothing can be measured or tested.
    static ClusterState read(const QString& path);

    // A connection over the cluster's socket: the superuser's without a password.
    QString socketInfo(const QString& database, const QString& user = QStringLiteral("postgres"),
                       const QString& password = QString()) const;
};
