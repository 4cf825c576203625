#pragma once

#include <QDate>
#include <QString>

namespace ExaminationDate {

// The day an examination date field names, in the forms examiners write it: the calendar's
// "2026.12.03." (also without the last dot or the leading zeros) and the written-out Hungarian
// "2013. július 22." (month names in any letter case, the last dot optional). An invalid date for
// any other text, or for a day that does not exist.
QDate parse(const QString& text);

} // namespace ExaminationDate
