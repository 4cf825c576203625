#include "gui/helptexts/TInfoKeret.h"

#include "app/ErrorBoundary.h"
#include "app/Platform.h"
#include "base/UserError.h"
#include "gui/common/Widgets.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

TInfoKeret::TInfoKeret(const DataRoot& root, Platform& platform, QWidget* parent)
    : ToolWindow(Frame::NoButtons, parent), m_root(root), m_platform(platform) {
    setObjectName(QStringLiteral("TInfoKeret"));
    setWindowTitle(QStringLiteral("Segítség a jelölések használatához"));
    InfoAblak = Widgets::memo(this, QStringLiteral("InfoAblak"), Widgets::font(QStringLiteral("Arial"), 15), Qt::black,
                              Qt::yellow);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(InfoAblak);
    setGeometry(382, 185, 388, 146);
}

void TInfoKeret::showMarkingHelp(int code) {
    reportFailure(m_platform, [&] {
        switch (m_current.request(m_root.markingHelp(code))) {
        case HelpTexts::CurrentFile::Result::Unchanged:
            break;
        case HelpTexts::CurrentFile::Result::Loaded:
            InfoAblak->setPlainText(HelpTexts::memoText(m_current.lines()));
            break;
        case HelpTexts::CurrentFile::Result::Missing:
            m_platform.message(QStringLiteral("Hiányzik egy információs fájl, telepítse újra a programot"));
            break;
        }
    });
}

void TInfoKeret::scrollText(int angleDelta) {
    Widgets::scrollLikeTheWheel(InfoAblak, angleDelta);
}
