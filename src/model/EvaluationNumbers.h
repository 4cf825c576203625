#pragma once

#include "model/EvaluationResult.h"
#include "model/Pictures.h"

#include <array>
#include <optional>

class Coding;

// Every number one evaluated examination shows (the evaluation's values with the age, the 24
// GCR points and their sum, the top cells' scores and the Rauchfleisch indices), in one value:
// what the JSON writes and what a comparison subtracts, so both name the same numbers. None
// where the examination has no value (a Rauchfleisch index with a divisor of 0).
struct EvaluationNumbers {
    double age = 0;
    std::array<double, kPictureCount> points{};
    double gcrPoints = 0;
    double scoredPictureCount = 0;
    std::array<std::array<double, 3>, 3> cellScore{}; // [direction][reaction type]
    std::array<double, 3> columnTotal{};
    std::array<double, 3> rowTotal{};
    std::array<double, 3> columnPercent{};
    std::array<double, 3> rowPercent{};
    double gcrPercent = 0;
    std::array<double, 6> superegoScore{};
    std::array<double, 6> superegoPercent{};
    std::array<double, 3> topCellScore{};
    std::array<std::optional<double>, 5> rauchfleisch{}; // 'a' to 'e'

    static EvaluationNumbers of(const Coding& coding, qint32 age, const EvaluationResult& result);
    // Each number of this less the same number of earlier; none where either has none.
    EvaluationNumbers minus(const EvaluationNumbers& earlier) const;
};
