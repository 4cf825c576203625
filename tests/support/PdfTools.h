#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What poppler-utils read from a PDF document, for the tests of the paper protocol. Each runs
// the tool on a temporary copy and fails the calling test when the tool is missing or fails.
namespace PdfTools {

// Why the tools cannot read a document here, or null: a test skips its reading saying so.
const char* unreadableHere();

// The text pdftotext extracts with its layout kept, every run of blanks made one blank, so a
// table row reads "E 3 8 2 13 57 Mdn/Q3". Null when pdftotext could not read it.
QString text(const QByteArray& pdf);
// "Pages:" of pdfinfo; -1 when pdfinfo could not read it.
int pageCount(const QByteArray& pdf);
// The fonts pdffonts lists, each as "name embedded" ("LiberationSans yes"); empty when it
// could not read the document.
QStringList fonts(const QByteArray& pdf);
// The named field of pdfinfo ("Page size", "Title"); null when missing.
QString info(const QByteArray& pdf, const QString& field);

} // namespace PdfTools
