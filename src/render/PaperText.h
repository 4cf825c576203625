#pragma once

#include <QString>

namespace PaperText {

// Plain text made safe for rich text (QTextDocument's HTML).
QString escaped(const QString& plain);

} // namespace PaperText
