#pragma once

#include "ClusterState.h"
#include "formats/ExaminationFile.h"

#include <QString>
#include <QStringList>

// The throw-away cluster the server tests' fixture started (tests/institution/cluster.sh), read
// from the file GYVKT_TEST_SERVER names. Each test makes a database of its own, with the
// archive's schema and logins named after it (roles are the cluster's, shared by databases).
class TestServer {
public:
    TestServer();

    // A new database with the archive's schema, made through `gyvkt-cli server init`.
    QString newDatabase();
    const QString& database() const { return m_database; }
    // "<database>_<name>": a login of this test's database.
    QString login(const QString& name) const;

    // The superuser, over the cluster's socket.
    QString ownerInfo() const;
    // A login with its password: over the socket, or over TCP with TLS verified against the
    // test's own root certificate (or the wrong one).
    QString socketInfo(const QString& name) const;
    QString tlsInfo(const QString& name, bool rightRoot = true) const;
    static QString password() { return QStringLiteral("jelszo-123"); }

    // `gyvkt-cli server add-team` and `add-user` as the owner.
    void addTeam(const QString& team) const;
    void addUser(const QString& name, const QString& role, const QString& team = QString()) const;

    // Stops the server as a crash would, and starts it again.
    void restart() const;

private:
    ClusterState m_cluster;
    QString m_database;
};

// Plain SQL through libpq itself, not through the program's client.
struct SqlResult {
    bool ok = false;
    QString sqlState;
    QString error;
    // Each row's columns joined by "|"; a COPY's lines.
    QStringList rows;
};
SqlResult runSql(const QString& conninfo, const QString& sql);

// Examination n of a test: a name, a code-like file name and codings that differ with n.
ExaminationData sampleExamination(int n);
