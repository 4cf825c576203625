#include "gui/paper/PaperCommands.h"

#include "app/Commands.h"
#include "app/ErrorBoundary.h"
#include "app/ExamSession.h"
#include "model/Comparison.h"
#include "render/ComparisonPages.h"
#include "render/ProtocolPages.h"

PaperCommands::PaperCommands(ExamSession& session, Platform& platform, Commands& commands)
    : m_session(session), m_platform(platform), m_commands(commands) {}

void PaperCommands::print() {
    EvaluationResult result;
    if (!m_commands.evaluateForProtocol(result))
        return;
    const QString code = m_session.personal().code;
    reportFailure(m_platform, [&] {
        m_printDialog->print(QStringLiteral("gyermek VKT jegyzőkönyv ") + code, [&](QPagedPaintDevice& device) {
            ProtocolPages::paint(device, m_session.personal(), m_session.coding(), result,
                                 m_session.decimalSeparator());
        });
    });
}

void PaperCommands::savePdf() {
    EvaluationResult result;
    if (!m_commands.evaluateForProtocol(result))
        return;
    const QString code = m_session.personal().code;
    const QString path = pdfPath(code.isEmpty() ? QString() : code + QStringLiteral(".pdf"));
    if (path.isEmpty())
        return;
    reportFailure(m_platform, [&] {
        ProtocolPages::writePdf(path, m_session.personal(), m_session.coding(), result, m_session.decimalSeparator());
    });
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
    reportFailure(m_platform, [&] { ComparisonPages::writePdf(path, comparison, m_session.decimalSeparator()); });
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
