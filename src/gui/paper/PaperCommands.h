#pragma once

#include "gui/paper/PrintDialog.h"

#include <QString>

struct Comparison;
class Commands;
class ExamSession;
class Platform;
struct ProtocolDocument;

// The protocol on paper: "Nyomtatás…" and "Jegyzőkönyv PDF-be…" of the main window's menus for
// the examination in hand, and the same for a protocol the protocol window shows. The menus
// start from the evaluation of "Kész jegyzőkönyv" under its refusals (the too-few dialog, the
// message for an age without norms); a failure is reported in one message box, a PDF written
// with a notice naming it. The comparison window's print and PDF go the same way.
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
    // file, written atomically, and a notice naming it.
    void savePdf();
    // The same for a protocol already made.
    void print(const ProtocolDocument& protocol);
    void savePdf(const ProtocolDocument& protocol);
    // A comparison on the printer, and as a PDF through the save dialog (proposing
    // <code>_osszehasonlitas.pdf in the html folder).
    void printComparison(const Comparison& comparison);
    void saveComparisonPdf(const Comparison& comparison);

private:
    bool evaluated(ProtocolDocument& protocol);
    // The save dialog for a PDF named name in the html folder; empty when cancelled.
    QString pdfPath(const QString& name);
    void tellWritten(const QString& what, const QString& path);

    ExamSession& m_session;
    Platform& m_platform;
    Commands& m_commands;
    QtPrintDialog m_systemDialog;
    PrintDialog* m_printDialog = &m_systemDialog;
};
