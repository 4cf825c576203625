#pragma once

#include <QString>
#include <array>

// The eleven factor codes. The number (1 to 11) is also the tag of the code's button and
// names its marking-help and example files.
struct ScoreCode {
    int number;       // 1..11
    const char* code; // two upper-case letters
    int column;       // MarkingGrid column: 1 O-D, 2 E-D, 3 N-P
    char direction;   // 'E', 'I' or 'M'
    const char* face; // the button's face: E' I' M' E E I I M e i m
    bool underlined;  // EE and II show their letter underlined

    QString text() const { return QString::fromLatin1(code); }
};

namespace ScoreCodes {

constexpr int kCount = 11;
const std::array<ScoreCode, kCount>& all();
// By number 1..11.
const ScoreCode& byNumber(int number);
// By its two letters; nullptr for any other text.
const ScoreCode* byCode(const QString& code);

} // namespace ScoreCodes
