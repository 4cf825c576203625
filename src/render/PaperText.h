#pragma once

#include <QString>

// Rich text for QTextDocument, as the documents on paper write it.
namespace PaperText {

// Plain text made safe for rich text (QTextDocument's HTML).
QString escaped(const QString& plain);

// The background of a table's heading.
QString headingColour();
// The opening of a table with thin ruled cells.
QString tableOpen(int cellPadding = 3);
// One cell with its attributes ("align=\"right\""), the content already rich text.
QString cell(const QString& content, const QString& attributes = QString());
// A row with one bold heading over columns cells.
QString headingRow(const QString& title, int columns);

// A text of the examination file as paper shows it: whole up to kMaxShown characters; of a
// longer one (the reader takes a name of up to 4 MiB) the beginning and how much was left out.
// Laying out every character of such a text takes minutes and fills hundreds of pages.
constexpr qsizetype kMaxShown = 500;
QString shown(const QString& text);

} // namespace PaperText
