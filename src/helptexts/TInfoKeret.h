#pragma once

#include "helptexts/GuiToolDialog.h"
#include "helptexts/HelpTexts.h"

class AppState;
struct Forms;
class QPlainTextEdit;

// Segítség a jelölések használatához: the explanation of the code button under the mouse.
//
//   InfoAblak   editable text filling the window, yellow; the marking help of the code
class TInfoKeret : public GuiToolDialog {
    Q_OBJECT
public:
    TInfoKeret(AppState& state, Forms& forms, QWidget* parent = nullptr);

    // Loads help<code>.txt unless it is the text asked for last; a missing file is reported
    // once and becomes the current one all the same.
    void showMarkingHelp(int code);
    QString currentInfoFile() const { return m_current.path(); }

private:
    AppState& m_state;
    Forms& m_forms;
    QPlainTextEdit* InfoAblak;
    HelpTexts::CurrentFile m_current;
};
