#pragma once

#include <QStringList>

// The subcommands of gyvkt-cli. Each takes the arguments after its name and returns the
// process exit status: 0 on success, 1 for a usage error, 2 for a file it could not use.
int runDump(const QStringList& args);
int runProtocol(const QStringList& args);
int runEvaluate(const QStringList& args);

// Writes to stdout / stderr as UTF-8.
void printOut(const QString& text);
void printErr(const QString& text);
