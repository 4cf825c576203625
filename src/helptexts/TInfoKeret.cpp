#include "helptexts/TInfoKeret.h"

#include "app/AppState.h"
#include "app/GuiForms.h"
#include "platform/FileError.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

TInfoKeret::TInfoKeret(AppState& state, Forms& forms, QWidget* parent)
    : GuiToolDialog(Frame::NoButtons, parent), m_state(state), m_forms(forms) {
    setObjectName(QStringLiteral("TInfoKeret"));
    setWindowTitle(QStringLiteral("Segítség a jelölések használatához"));
    InfoAblak = memo(this, QStringLiteral("InfoAblak"), font(QStringLiteral("Arial"), 15), Qt::black, Qt::yellow);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(InfoAblak);
    setGeometry(382, 185, 388, 146);
}

void TInfoKeret::showMarkingHelp(int code) {
    try {
        switch (m_current.request(m_state.root.markingHelp(code))) {
        case HelpTexts::CurrentFile::Result::Unchanged:
            break;
        case HelpTexts::CurrentFile::Result::Loaded:
            InfoAblak->setPlainText(HelpTexts::memoText(m_current.lines()));
            break;
        case HelpTexts::CurrentFile::Result::Missing:
            m_state.platform.message(QStringLiteral("Hiányzik egy információs fájl, telepítse újra a programot"));
            break;
        }
    } catch (const FileError& e) {
        m_state.platform.message(e.text());
    }
}
