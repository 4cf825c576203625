#pragma once

#include <QByteArray>
#include <QString>

// Every file of the program is 8-bit Windows-1250 text. All conversions go through here so
// that each of the 256 byte values reads and writes back unchanged.
namespace Cp1250 {

// False when the platform's converters lack Windows-1250; the program refuses to start then.
bool available();

QString decode(const QByteArray& bytes);
QByteArray encode(const QString& text);

} // namespace Cp1250
