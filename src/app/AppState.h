#pragma once

#include "evaluation/EvaluationResult.h"
#include "exam/PersonalData.h"
#include "marking/MarkingGrid.h"
#include "platform/DataRoot.h"
#include "platform/Platform.h"

#include <QStringList>
#include <optional>

// The program's shared state, created once in main() and handed to every window by
// reference: the examination held (personal data, marking grid; the answers live in the
// working folder), the picture the windows stand on, the shell's state and the last result.
class AppState {
public:
    AppState(DataRoot root, Platform& platform);

    DataRoot root;
    Platform& platform;

    PersonalData personal;
    MarkingGrid grid;
    int currentPicture = 1;

    QString layoutMode;      // "felvetel", "jeloles" or empty
    QString programPassword; // digits
    QStringList arguments;   // the command-line parameters, program name excluded
    QChar decimalSeparator = QLatin1Char(',');

    std::optional<EvaluationResult> lastEvaluation;
};
