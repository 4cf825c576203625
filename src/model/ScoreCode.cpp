#include "model/ScoreCode.h"

namespace {
const std::array<ScoreCode, ScoreCodes::kCount> kCodes = {{
    {1, "EV", 1, 'E', "E'", false},
    {2, "IV", 1, 'I', "I'", false},
    {3, "MV", 1, 'M', "M'", false},
    {4, "NE", 2, 'E', "E", false},
    {5, "EE", 2, 'E', "E", true},
    {6, "NI", 2, 'I', "I", false},
    {7, "II", 2, 'I', "I", true},
    {8, "NM", 2, 'M', "M", false},
    {9, "KE", 3, 'E', "e", false},
    {10, "KI", 3, 'I', "i", false},
    {11, "KM", 3, 'M', "m", false},
}};
} // namespace

const std::array<ScoreCode, ScoreCodes::kCount>& ScoreCodes::all() {
    return kCodes;
}

const ScoreCode& ScoreCodes::byNumber(int number) {
    return kCodes.at(static_cast<size_t>(number - 1));
}

const ScoreCode* ScoreCodes::byCode(const QString& code) {
    for (const ScoreCode& c : kCodes) {
        if (code == QLatin1String(c.code))
            return &c;
    }
    return nullptr;
}
