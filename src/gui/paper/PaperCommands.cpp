#include "gui/paper/PaperCommands.h"

#include "app/Commands.h"
#include "app/ErrorBoundary.h"
#include "app/ExamSession.h"
#include "model/Comparison.h"
#include "render/ComparisonPages.h"
#include "render/ProtocolPages.h"

#include <QDir>

PaperCommands::PaperCommands(ExamSession& session, Platform& platform, Commands& commands)
    : m_session(session), m_platform(platform), m_commands(commands) {}

bool PaperCommands::evaluated(ProtocolDocument& protocol) {
    if (!m_commands.evaluateForProtocol(protocol.result))
        return false;
    protocol.personal = m_session.personal();
    protocol.coding = m_session.coding();
    return true;
}

void PaperCommands::print() {
    ProtocolDocument protocol;
    if (evaluated(protocol))
        print(protocol);
}

void PaperCommands::savePdf() {
    ProtocolDocument protocol;
    if (evaluated(protocol))
        savePdf(protocol);
}

void PaperCommands::print(const ProtocolDocument& protocol) {
    reportFailure(m_platform, [&] {
        m_printDialog->print(QStringLiteral("gyermek VKT jegyzőkönyv ") + protocol.personal.code,
                             [&](QPagedPaintDevice& device) {
                                 ProtocolPages::paint(device, protocol.personal, protocol.coding, protocol.result,
                                                      m_session.decimalSeparator());
                             });
    });
}

void PaperCommands::savePdf(const ProtocolDocument& protocol) {
    const QString& code = protocol.personal.code;
    const QString path = pdfPath(code.isEmpty() ? QString() : code + QStringLiteral(".pdf"));
    if (path.isEmpty())
        return;
    if (reportFailure(m_platform, [&] {
            ProtocolPages::writePdf(path, protocol.personal, protocol.coding, protocol.result,
                                    m_session.decimalSeparator());
        }))
        tellWritten(QStringLiteral("A jegyzőkönyv"), path);
}

void PaperCommands::printComparison(const Comparison& comparison) {
    reportFailure(m_platform, [&] {
        m_printDialog->print(QStringLiteral("gyermek VKT összehasonlítás"), [&](QPagedPaintDevice& device) {
            ComparisonPages::paint(device, comparison, m_session.decimalSeparator());
        });
    });
}

void PaperCommands::saveComparisonPdf(const Comparison& comparison) {
    const std::vector<ComparedExamination>& all = comparison.examinations;
    const QString code = all.empty() ? QString() : all.back().personal.code;
    const QString path = pdfPath(code.isEmpty() ? QString() : code + QStringLiteral("_osszehasonlitas.pdf"));
    if (path.isEmpty())
        return;
    if (reportFailure(m_platform, [&] { ComparisonPages::writePdf(path, comparison, m_session.decimalSeparator()); }))
        tellWritten(QStringLiteral("Az összehasonlítás"), path);
}

void PaperCommands::tellWritten(const QString& what, const QString& path) {
    // The save dialog closes without a trace; the examiner is told the file is there, and where.
    m_platform.message(what + QStringLiteral(" PDF-ben elkészült:\n") + QDir::toNativeSeparators(path));
}

QString PaperCommands::pdfPath(const QString& name) {
    Platform::FileDialog dialog;
    dialog.filter = QStringLiteral("PDF dokumentum|*.pdf|minden fájl|*.*");
    dialog.defaultSuffix = QStringLiteral("pdf");
    // Beside the HTML protocol and its chart, where the examiner finds the protocols.
    dialog.initialFolder = m_session.root().htmlFolder();
    dialog.fileName = name;
    dialog.overwritePrompt = true;
    return m_platform.saveFileName(dialog);
}
