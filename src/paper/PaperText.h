#pragma once

#include <QString>

namespace PaperText {

// The evaluation's texts carry the HTML entities of the protocol ("&#60;Q1", "EV &LT;- -0,5",
// "NE(7,5) &GT; MV(4)"); on paper and on screen they are plain characters.
QString decodeEntities(const QString& protocolText);

// Plain text made safe for rich text (QTextDocument's HTML).
QString escaped(const QString& plain);

} // namespace PaperText
