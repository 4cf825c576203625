#include "cli/CliCommands.h"

// Placeholder until the evaluation lands; replaced by the real protocol and evaluate commands.
int runProtocol(const QStringList&) {
    printErr(QStringLiteral("A protocol parancs még nem érhető el.\n"));
    return 1;
}

int runEvaluate(const QStringList&) {
    printErr(QStringLiteral("Az evaluate parancs még nem érhető el.\n"));
    return 1;
}
