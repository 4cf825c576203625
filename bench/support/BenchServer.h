#pragma once

#include "ClusterState.h"

#include <QString>
#include <QTemporaryDir>

// A throw-away PostgreSQL cluster for the benchmarks, started with the server tests' script
// (with fsync on, as a real server runs) and removed when the benchmark ends or dies.
class BenchServer {
public:
    BenchServer();
    ~BenchServer();

    // A new database with the archive's schema, and an examiner and a researcher in it.
    void newDatabase();
    QString ownerInfo() const;
    QString examinerInfo() const;
    QString researcherInfo() const;
    QString psqlPath() const;

private:
    QString loginInfo(const QString& login) const;
    QTemporaryDir m_state;
    ClusterState m_cluster;
    QString m_database;
};
