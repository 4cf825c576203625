#pragma once

#include "base/DataRoot.h"
#include "formats/HelpTexts.h"
#include "gui/common/ToolWindow.h"

class Platform;
class QPlainTextEdit;
class QPushButton;

// Példa az aktuális képhez és jelhez: the example answer for the code or combination under
// the mouse at the current picture; editable, and saved back where the examiner wants one.
//
//   Memo1     editable text filling the window, aqua; the example
//   Button1   "mentés": writes Memo1 to the example file asked for last
class TPeldatar : public ToolWindow {
    Q_OBJECT
public:
    TPeldatar(const DataRoot& root, Platform& platform, QWidget* parent = nullptr);

    // number is a code button (1..11) or a combination label's tag (12..28); for a label
    // the caption is given too, for the heading of a combination without an example.
    void showExamples(int number, int picture, const QString& combination = QString());
    QString currentExampleFile() const { return m_current.path(); }
    // Scrolls the text as the wheel would (the marking window passes on its wheel).
    void scrollText(int angleDelta);

    void Button1Click();

private:
    DataRoot m_root;
    Platform& m_platform;
    QPlainTextEdit* Memo1;
    QPushButton* Button1;
    HelpTexts::CurrentFile m_current;
};
