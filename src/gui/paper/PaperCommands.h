#pragma once

#include "gui/paper/PrintDialog.h"

#include <QString>

struct Comparison;
class Commands;
class ExamSession;
class Platform;

// The protocol on paper from the main window's menus: "Nyomtatás…" and "Jegyzőkönyv PDF-be…".
// Both start from the evaluation of "Kész jegyzőkönyv" under its refusals (the too-few dialog,
// the message for an age without norms) and report a failure in one message box. The comparison
// window's print and PDF go the same way.
class PaperCommands {
public:
    PaperCommands(ExamSession& session, Platform& platform, Commands& commands);
    PaperCommands(const PaperCommands&) = delete;
    PaperCommands& operator=(const PaperCommands&) = delete;

    // The print dialog used from now on; null restores the system's.
    void setPrintDialog(PrintDialog* dialog) { m_printDialog = dialog ? dialog : &m_systemDialog; }

    // "Nyomtatás…": the print dialog, then the protocol pages and the chart page on the printer.
    void print();
    // "Jegyzőkönyv PDF-be…": the save dialog proposing <code>.pdf in the html folder, then the
    // file, written atomically.
    void savePdf();
    // A comparison on the printer, and as a PDF through the save dialog (proposing
    // <code>_osszehasonlitas.pdf in the html folder).
    void printComparison(const Comparison& comparison);
    void saveComparisonPdf(const Comparison& comparison);

private:
    // The save dialog for a PDF named name in the html folder; empty when cancelled.
    QString pdfPath(const QString& name);

    ExamSession& m_session;
    Platform& m_platform;
    Commands& m_commands;
    QtPrintDialog m_systemDialog;
    PrintDialog* m_printDialog = &m_systemDialog;
};
