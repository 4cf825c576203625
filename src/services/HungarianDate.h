#pragma once

#include <QDate>
#include <QStringView>

#include <optional>

// Dates as examiners type them into the personal data: the calendar's own "2013.07.22." and the
// written-out Hungarian forms "2013. július 22." and "2013. júl. 22.".
namespace HungarianDate {

// The date a text stands for, or none. The text is a year of four digits, the month and the day
// (one or two digits), separated by dots, spaces or both, a dot after the day optional. The month is a number (1 to 12,
// "07" too) or its Hungarian name, whole or shortened to at least its first three letters ("júl", "febr", "szept"), in
// any letter case and with or without accents ("julius", "MARC."); every month differs in its first three letters, so a
// shortening is never ambiguous. Anything else gives none: no year, an unknown month, a day the month does not have, or
// anything before or after the date.
std::optional<QDate> parse(QStringView text);

} // namespace HungarianDate
