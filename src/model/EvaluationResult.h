#pragma once

#include "model/Norms.h"

#include <QString>
#include <array>
#include <optional>

// Every value one evaluation computes, as numbers and classes; no text of any output. Rows are
// the directions E, I, M; columns the reaction types O-D, E-D, N-P.
struct EvaluationResult {
    enum Direction { E = 0, I = 1, M = 2 };
    enum ReactionType { OD = 0, ED = 1, NP = 2 };

    // One of the three largest profile cells; an empty place has score 0 and no code.
    struct TopCell {
        double score = 0.0;
        QString code; // "EV" ... "KM"
    };

    qint32 scoredPictureCount = 1;
    std::array<std::array<double, 3>, 3> cellScore{}; // [direction][reaction type]
    std::array<double, 3> columnTotal{};
    std::array<double, 3> rowTotal{};
    std::array<double, 3> columnPercent{};
    std::array<double, 3> rowPercent{};
    std::array<QuartileClass, 3> columnClass{};
    std::array<QuartileClass, 3> rowClass{};
    qint32 gcrPercent = 0;
    GcrClass gcrClass = GcrClass::Normal;
    std::array<double, 6> superegoScore{};        // index k at [k - 1]
    std::array<double, 6> superegoPercent{};      // index k at [k - 1]
    std::array<QuartileClass, 6> superegoClass{}; // index k at [k - 1]
    // The trend ratio (F - L) / (F + L) of each place; none where the place shows no trend.
    std::array<std::array<std::optional<double>, 3>, 5> trendRatio{}; // [row - 1][place - 1]
    // The total index: the three largest cells in descending order.
    std::array<TopCell, 3> topCell;
};
