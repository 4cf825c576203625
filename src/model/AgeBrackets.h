#pragma once

#include <QString>

// The ages the norms cover and their two-year brackets, as the norm study published them: the
// one place that knows them. The norms, the evaluation's refusal, the chart, the personal-data
// window, the export's codebook and the help texts all ask here.
namespace AgeBrackets {

constexpr int kYoungest = 7;
constexpr int kOldest = 14;
constexpr int kYears = 2;
constexpr int kCount = (kOldest - kYoungest + 1) / kYears;

constexpr bool covers(int age) {
    return age >= kYoungest && age <= kOldest;
}
// The bracket of an age the norms cover: 0 for 7-8 up to kCount - 1 for 13-14.
constexpr int of(int age) {
    return (age - kYoungest) / kYears;
}
constexpr int firstAge(int bracket) {
    return kYoungest + bracket * kYears;
}
constexpr int lastAge(int bracket) {
    return firstAge(bracket) + kYears - 1;
}

// "7–8": a bracket's ages joined by the dash.
QString text(int bracket, QChar dash = QChar(0x2013));
// "7-8, 9-10, 11-12, 13-14": every bracket, as a list reads them.
QString listText();
// "7–14": every age the norms cover.
QString rangeText();
// "Az életkor (5) kívül esik a 7–14 éves normatartományon": how every refusal of an age begins.
QString outsideText(int age);

} // namespace AgeBrackets
