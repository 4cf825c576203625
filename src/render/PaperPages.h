#pragma once

#include <QByteArray>
#include <QFont>
#include <QRectF>
#include <QString>
#include <functional>

class QPagedPaintDevice;
class QPainter;

// What every document on paper shares (the protocol, the comparison): rich text over as many
// pages as it needs, a chart on a page of its own, a footer on each page saying whose it is
// and which page, A4 in the PDF, and the atomic write of the file.
namespace PaperPages {

// Draws a chart into the area of a page.
using ChartPage = std::function<void(QPainter& painter, const QRectF& area)>;

// The font of the pages' text and footer.
QFont pageFont(double pointSize);

// Paints html on a printer or PDF writer whose page layout is set (one page where it fits, more
// on a small paper), then the chart, when there is one, on a page of its own, footer on every page. subject names
// the document in the failure ("A jegyzőkönyv"). Returns the number of pages. Raises UserError
// when the device cannot be painted on (a printer that went away).
int paint(QPagedPaintDevice& device, const QString& subject, const QString& html, const QString& footer,
          const ChartPage& chart);

// An A4 PDF document's bytes, fonts embedded, with what paint draws on its pages.
QByteArray pdfBytes(const QString& title, const std::function<void(QPagedPaintDevice&)>& paint);

// Writes a PDF atomically; a failure raises UserError ("Cannot create file " + path) and leaves
// an existing file as it was.
void writePdf(const QString& path, const QByteArray& bytes);

} // namespace PaperPages
