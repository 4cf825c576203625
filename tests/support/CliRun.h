#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// One run of the real gyvkt-cli: its exit status and what it printed.
struct CliRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// Runs gyvkt-cli with the arguments, in workingDir when given, with the environment's
// "NAME=value" entries added.
CliRun runCli(const QStringList& args, const QString& workingDir = QString(), const QStringList& env = QStringList());
