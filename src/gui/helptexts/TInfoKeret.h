#pragma once

#include "base/DataRoot.h"
#include "formats/HelpTexts.h"
#include "gui/common/ToolWindow.h"

class Platform;
class QPlainTextEdit;

// Segítség a jelölések használatához: the explanation of the code button under the mouse.
//
//   InfoAblak   editable text filling the window, yellow; the marking help of the code
class TInfoKeret : public ToolWindow {
    Q_OBJECT
public:
    TInfoKeret(const DataRoot& root, Platform& platform, QWidget* parent = nullptr);

    // Loads help<code>.txt unless it is the text asked for last; a missing file is reported
    // once and becomes the current one all the same.
    void showMarkingHelp(int code);
    QString currentInfoFile() const { return m_current.path(); }
    // Scrolls the text as the wheel would (the marking window passes on its wheel).
    void scrollText(int angleDelta);

private:
    DataRoot m_root;
    Platform& m_platform;
    QPlainTextEdit* InfoAblak;
    HelpTexts::CurrentFile m_current;
};
