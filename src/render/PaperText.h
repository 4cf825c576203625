#pragma once

#include <QString>

namespace PaperText {

// Plain text made safe for rich text (QTextDocument's HTML).
QString escaped(const QString& plain);

// A text of the examination file as paper shows it: whole up to kMaxShown characters; of a
// longer one (the reader takes a name of up to 4 MiB) the beginning and how much was left out.
// Laying out every character of such a text takes minutes and fills hundreds of pages.
constexpr qsizetype kMaxShown = 500;
QString shown(const QString& text);

} // namespace PaperText
