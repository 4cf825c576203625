#pragma once

#include "model/Coding.h"
#include "model/EvaluationNumbers.h"
#include "model/EvaluationResult.h"
#include "model/PersonalData.h"
#include "model/ProtocolGate.h"

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

// One examination of a comparison: read, coded and, when the protocol's gate lets it through,
// evaluated.
struct ComparedExamination {
    QString path;
    PersonalData personal;
    Coding coding;
    // The examination date; invalid when the date is typed in a form no calendar reads.
    QDate date;
    ProtocolRefusal refusal = ProtocolRefusal::None;
    // Set exactly when the gate lets the examination through.
    std::optional<EvaluationResult> result;
    // The change from the comparison's first evaluated examination, for the evaluated ones after it.
    std::optional<EvaluationNumbers> change;

    bool evaluated() const { return result.has_value(); }
    // Why the gate refused it, as the protocol's refusal says; empty when it was evaluated.
    QString refusalText() const;
};

// Two to four examinations of one child side by side, in the order they were made. A refused
// examination keeps its place and its reason but takes no part in the changes.
struct Comparison {
    static constexpr int kMinimum = 2;
    static constexpr int kMaximum = 4;

    std::vector<ComparedExamination> examinations;

    // What the changes are measured from: the first evaluated examination; null when none is.
    const ComparedExamination* baseline() const;
};
