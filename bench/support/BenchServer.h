#pragma once

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
    QString m_dir;
    QString m_bin;
    int m_port = 0;
    QString m_database;
};
