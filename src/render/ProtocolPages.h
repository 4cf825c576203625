#pragma once

#include "model/EvaluationResult.h"
#include "model/PersonalData.h"

#include <QByteArray>
#include <QChar>
#include <QString>

class Coding;
class QPagedPaintDevice;

// The protocol on paper: the content of the HTML protocol (personal data, marking table,
// profile, supplementary profile, Rauchfleisch indices, total index, GCR percentage) laid out
// for a page, then the profile chart on a page of its own. The same pages go to the printer and
// into the PDF; the text is real text, so a PDF reader can search and copy it.
namespace ProtocolPages {

// The content as rich text for QTextDocument, the comparison signs as characters.
QString contentHtml(const PersonalData& personal, const Coding& coding, const EvaluationResult& result,
                    QChar decimalSeparator);

// Paints every page on a printer or PDF writer whose page layout is set: the content (one page
// where it fits, more on a small paper), then the chart. Returns the number of pages. Raises
// UserError when the device cannot be painted on (a printer that went away) or the age has no
// norms.
int paint(QPagedPaintDevice& device, const PersonalData& personal, const Coding& coding, const EvaluationResult& result,
          QChar decimalSeparator);

// The pages as an A4 PDF document's bytes, fonts embedded.
QByteArray pdfBytes(const PersonalData& personal, const Coding& coding, const EvaluationResult& result,
                    QChar decimalSeparator);

// Writes the PDF atomically; a failure raises UserError ("Cannot create file " + path) and
// leaves an existing file as it was.
void writePdf(const QString& path, const PersonalData& personal, const Coding& coding, const EvaluationResult& result,
              QChar decimalSeparator);

} // namespace ProtocolPages
