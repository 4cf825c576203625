#pragma once

#include "base/DataRoot.h"
#include "cli/CliArgs.h"
#include "formats/ExaminationFile.h"
#include "model/Coding.h"
#include "model/EvaluationResult.h"

#include <QChar>
#include <QStringList>

// "--gcr KEY.gcr" and "--decimal SEP", shared by the subcommands that evaluate.
struct EvaluationOptions {
    GcrKey key;
    QString keyPath; // the file the key was read from: an input of the run
    QChar decimalSeparator;

    static QStringList names();
    // The key given (else the data root's magyar.gcr, else, saying so on stderr, the key installed
    // with the program) and the separator given (else the locale's). Returns 0, or the exit
    // status after printing the problem.
    int load(const CliArgs& args, const DataRoot& root = DataRoot::fromEnvironment());
};

// One examination read and evaluated as the program would. Prints "path: reason" on stderr and
// returns false when the file is unusable or the age has no norms.
struct EvaluatedFile {
    ExaminationData data;
    Coding coding;
    EvaluationResult result;

    bool evaluate(const QString& path, const EvaluationOptions& options);
    // A protocol is made, as in the program, only with at least 18 marked pictures; otherwise
    // the reason is printed and true returned.
    bool tooFewForProtocol(const QString& path) const;
};
