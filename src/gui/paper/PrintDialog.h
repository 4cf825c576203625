#pragma once

#include <QString>
#include <functional>

class QPagedPaintDevice;

// The system's print dialog and the printer it hands out. The program uses Qt's dialog; the
// GUI tests put a recording one in its place, so no test ever opens a real dialog or prints.
class PrintDialog {
public:
    virtual ~PrintDialog();
    // Asks for a printer and, when the examiner chose one, paints the pages on it. False when
    // the dialog was cancelled. A UserError raised by paint goes to the caller.
    virtual bool print(const QString& documentName, const std::function<void(QPagedPaintDevice&)>& paint) = 0;
};

class QtPrintDialog : public PrintDialog {
public:
    bool print(const QString& documentName, const std::function<void(QPagedPaintDevice&)>& paint) override;
};
