#pragma once

#include <QString>

// A whole text as a 32-bit decimal integer: an optional sign and at least one digit, nothing
// else (no blanks). False, with the value untouched, for anything else or out of range.
bool parseDecimalInt32(const QString& text, qint32* value);
