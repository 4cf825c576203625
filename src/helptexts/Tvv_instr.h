#pragma once

#include "helptexts/GuiToolDialog.h"

class AppState;
struct Forms;
class QPlainTextEdit;

// Instrukció a vizsgált személynek: the instruction read out to the child during recording.
// Loaded once at start-up; written back whenever the window is closed (hiding it by an
// arrangement is not closing it).
//
//   Memo1   editable text filling the window; the instruction
class Tvv_instr : public GuiToolDialog {
    Q_OBJECT
public:
    Tvv_instr(AppState& state, Forms& forms, QWidget* parent = nullptr);

    void FormCreate();
    // Writes Memo1 to the instruction file; a failure is reported and the text stays.
    void FormClose();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    AppState& m_state;
    Forms& m_forms;
    QPlainTextEdit* Memo1;
    bool m_unreadable = false;
};
