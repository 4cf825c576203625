#pragma once

#include <QString>
#include <array>

// Every value one evaluation computes. Rows are the directions E, I, M; columns the reaction
// types O-D, E-D, N-P. Texts go straight into the HTML protocol and carry their entities.
struct EvaluationResult {
    enum Direction { E = 0, I = 1, M = 2 };
    enum ReactionType { OD = 0, ED = 1, NP = 2 };

    struct TopCell {
        double score = 0.0;
        QString code;
    };

    qint32 scoredPictureCount = 1;
    std::array<std::array<double, 3>, 3> cellScore{}; // [direction][reaction type]
    std::array<double, 3> columnTotal{};
    std::array<double, 3> rowTotal{};
    std::array<double, 3> columnPercent{};
    std::array<double, 3> rowPercent{};
    std::array<QString, 3> columnClass;
    std::array<QString, 3> rowClass;
    qint32 gcrPercent = 0;
    QString gcrClass;
    std::array<double, 6> superegoScore{};           // index k at [k - 1]
    std::array<double, 6> superegoPercent{};         // index k at [k - 1]
    std::array<QString, 6> superegoClass;            // index k at [k - 1]
    std::array<std::array<QString, 3>, 5> trendText; // [row - 1][place - 1]
    std::array<TopCell, 3> topCell;
    QString totalIndexText;
};
