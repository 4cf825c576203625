#pragma once

#include "base/DataRoot.h"
#include "gui/common/ToolWindow.h"

class Platform;
class QPlainTextEdit;

// Instrukció a vizsgált személynek: the instruction read out to the child during recording.
// Loaded once at start-up; written back whenever the window is closed (hiding it by an
// arrangement is not closing it).
//
//   Memo1   editable text filling the window; the instruction
class Tvv_instr : public ToolWindow {
    Q_OBJECT
public:
    Tvv_instr(const DataRoot& root, Platform& platform, QWidget* parent = nullptr);

    void FormCreate();
    // Writes Memo1 to the instruction file; a failure is reported and the text stays.
    void FormClose();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    DataRoot m_root;
    Platform& m_platform;
    QPlainTextEdit* Memo1;
    bool m_unreadable = false;
};
