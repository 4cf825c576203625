#include "gui/paper/PaperCommands.h"

#include "app/Commands.h"
#include "app/ErrorBoundary.h"
#include "app/ExamSession.h"
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
    Platform::FileDialog dialog;
    dialog.filter = QStringLiteral("PDF dokumentum|*.pdf|minden fájl|*.*");
    dialog.defaultSuffix = QStringLiteral("pdf");
    // Beside the HTML protocol and its chart, where the examiner finds the protocols.
    dialog.initialFolder = m_session.root().htmlFolder();
    const QString& code = protocol.personal.code;
    dialog.fileName = code.isEmpty() ? QString() : code + QStringLiteral(".pdf");
    dialog.overwritePrompt = true;
    const QString path = m_platform.saveFileName(dialog);
    if (path.isEmpty())
        return;
    if (reportFailure(m_platform, [&] {
            ProtocolPages::writePdf(path, protocol.personal, protocol.coding, protocol.result,
                                    m_session.decimalSeparator());
        }))
        m_platform.message(QStringLiteral("A jegyzőkönyv PDF-ben elkészült:\n") + QDir::toNativeSeparators(path));
}
