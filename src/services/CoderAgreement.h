#pragma once

#include "model/Pictures.h"
#include "model/ScoreCode.h"
#include "model/ScoringLine.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <utility>

// How far two coders of the same examinations agree. Each picture's O-D, E-D and N-P field of
// each pair is one unit; its category is the set of that column's codes the evaluation finds in
// the field, so the order of entry does not matter and anything else in the field is ignored.
namespace CoderAgreement {

using Lines = std::array<ScoringLine, kPictureCount>;

// The category of one field: its column's codes among the field's first and second code,
// sorted and joined with "+" ("EE+NE"); "" when there is none.
QString category(const QString& field, int column);

// Cohen's kappa of two codings of the same units, (po - pe) / (1 - pe) with pe the sum over
// the categories of the product of the two coders' shares; none when pe is 1 (or no units).
std::optional<double> cohenKappa(const QStringList& a, const QStringList& b);
// Krippendorff's alpha for nominal data, two coders and no missing values: 1 - (n - 1) times
// the disagreeing coincidences over the sum of n_c * n_k for c != k; none when every value is
// the same category (or no units).
std::optional<double> krippendorffAlpha(const QStringList& a, const QStringList& b);

struct Result {
    int pairs = 0;
    int units = 0;
    double percentAgreement = 0;
    std::optional<double> kappaOd;
    std::optional<double> kappaEd;
    std::optional<double> kappaNp;
    std::optional<double> kappaAll;
    std::optional<double> alpha;
    // Per code, in ScoreCodes::all() order: the kappa of its presence in a picture.
    std::array<std::optional<double>, ScoreCodes::kCount> codeKappa;
    // Per picture: percent agreement over its column units.
    std::array<double, kPictureCount> pictures{};
    QStringList onlyInA;
    QStringList onlyInB;
};

// The statistics of paired codings (first coder A, second B).
Result compare(const QList<std::pair<Lines, Lines>>& pairs);

// Reads both sides' files, pairs them by code and compares them. Codes found on one side only
// are listed and left out. Raises UserError, naming the files, for a file that cannot be read,
// for two files of one code on the same side, and when no code is found on both sides.
Result compareFiles(const QStringList& filesA, const QStringList& filesB);

// The usual reading of a kappa value (Landis and Koch): "rossz" below 0, "csekély" to 0.20,
// "gyenge" to 0.40, "mérsékelt" to 0.60, "jelentős" to 0.80, "kiváló" above.
QString kappaReading(double kappa);

} // namespace CoderAgreement
