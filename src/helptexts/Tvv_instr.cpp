#include "helptexts/Tvv_instr.h"

#include "app/AppState.h"
#include "app/GuiForms.h"
#include "helptexts/HelpTexts.h"
#include "platform/FileError.h"
#include "platform/TextFile.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QVBoxLayout>

Tvv_instr::Tvv_instr(AppState& state, Forms& forms, QWidget* parent)
    : GuiToolDialog(Frame::NoButtons, parent), m_state(state), m_forms(forms) {
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
    const QString path = m_state.root.instructionFile();
    if (!QFileInfo::exists(path)) {
        m_state.platform.message(QStringLiteral("Egy fájl hiányzik, telepítse újra a programot!"));
        return;
    }
    try {
        Memo1->setPlainText(HelpTexts::memoText(HelpTexts::readLines(path)));
    } catch (const FileError& e) {
        m_unreadable = true;
        m_state.platform.message(e.text());
    }
}

void Tvv_instr::FormClose() {
    // An instruction that exists but could not be read is not overwritten with the empty
    // window unless the examiner wrote a new one.
    if (m_unreadable && !Memo1->document()->isModified())
        return;
    try {
        TextFile::writeLines(m_state.root.instructionFile(), HelpTexts::memoLines(memoText(Memo1)));
    } catch (const FileError& e) {
        m_state.platform.message(e.text());
    }
}

void Tvv_instr::closeEvent(QCloseEvent* event) {
    FormClose();
    GuiToolDialog::closeEvent(event);
}
