#include "gui/helptexts/Tvv_instr.h"

#include "app/ErrorBoundary.h"
#include "app/Platform.h"
#include "base/TextFile.h"
#include "base/UserError.h"
#include "formats/HelpTexts.h"
#include "gui/common/Widgets.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QVBoxLayout>

Tvv_instr::Tvv_instr(const DataRoot& root, Platform& platform, QWidget* parent)
    : ToolWindow(Frame::NoButtons, parent), m_root(root), m_platform(platform) {
    setObjectName(QStringLiteral("Tvv_instr"));
    setWindowTitle(QStringLiteral("Instrukció a vizsgált személynek"));
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Memo1);
    setGeometry(356, 249, 290, 141);
    FormCreate();
}

void Tvv_instr::FormCreate() {
    const QString path = m_root.instructionFile();
    if (!QFileInfo::exists(path)) {
        m_platform.message(QStringLiteral("Egy fájl hiányzik, telepítse újra a programot!"));
        return;
    }
    reportFailure(
        m_platform, [&] { Memo1->setPlainText(HelpTexts::memoText(HelpTexts::readLines(path))); },
        [this] { m_unreadable = true; });
}

void Tvv_instr::FormClose() {
    // An instruction that exists but could not be read is not overwritten with the empty
    // window unless the examiner wrote a new one.
    if (m_unreadable && !Memo1->document()->isModified())
        return;
    reportFailure(m_platform, [this] {
        TextFile::writeLines(m_root.instructionFile(), HelpTexts::memoLines(Widgets::memoText(Memo1)));
    });
}

void Tvv_instr::closeEvent(QCloseEvent* event) {
    // The instruction is saved by closing its window, so this one can always be closed.
    FormClose();
    event->accept();
}
