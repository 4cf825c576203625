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

} // namespace PaperText
