#include "gui/paper/PrintDialog.h"

#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>

PrintDialog::~PrintDialog() = default;

bool QtPrintDialog::print(const QString& documentName, const std::function<void(QPagedPaintDevice&)>& paint) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(documentName);
    // The pages are laid out for A4; the examiner may still choose another paper.
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(15, 14, 15, 12), QPageLayout::Millimeter);
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    dialog.setWindowTitle(QStringLiteral("Nyomtatás"));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    paint(printer);
    return true;
}
