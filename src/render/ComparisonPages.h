#pragma once

#include "model/Comparison.h"

#include <QByteArray>
#include <QChar>
#include <QString>

class QPagedPaintDevice;

// A comparison on paper, like the protocol: the table of its values on the first page (more
// on a small paper), then its profile chart, a line per evaluated examination, on a page of its
// own. The same pages go to the printer and into the PDF, and the window shows the same content.
namespace ComparisonPages {

// The heading and the table as rich text for QTextDocument.
QString contentHtml(const Comparison& comparison, QChar decimalSeparator);

// Paints every page on a printer or PDF writer whose page layout is set. Returns the number of
// pages; raises UserError when the device cannot be painted on.
int paint(QPagedPaintDevice& device, const Comparison& comparison, QChar decimalSeparator);

// The pages as an A4 PDF document's bytes.
QByteArray pdfBytes(const Comparison& comparison, QChar decimalSeparator);

// Writes the PDF atomically; a failure raises UserError and leaves an existing file as it was.
void writePdf(const QString& path, const Comparison& comparison, QChar decimalSeparator);

} // namespace ComparisonPages
