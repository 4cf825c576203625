#include "gui/paper/PaperCommands.h"

#include "app/Commands.h"
#include "app/ErrorBoundary.h"
#include "app/ExamSession.h"
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
    Platform::FileDialog dialog;
    dialog.filter = QStringLiteral("PDF dokumentum|*.pdf|minden fájl|*.*");
    dialog.defaultSuffix = QStringLiteral("pdf");
    // Beside the HTML protocol and its chart, where the examiner finds the protocols.
    dialog.initialFolder = m_session.root().htmlFolder();
    const QString code = m_session.personal().code;
    dialog.fileName = code.isEmpty() ? QString() : code + QStringLiteral(".pdf");
    dialog.overwritePrompt = true;
    const QString path = m_platform.saveFileName(dialog);
    if (path.isEmpty())
        return;
    reportFailure(m_platform, [&] {
        ProtocolPages::writePdf(path, m_session.personal(), m_session.coding(), result, m_session.decimalSeparator());
    });
}
