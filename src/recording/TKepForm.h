#pragma once

#include "helptexts/GuiToolDialog.h"

#include <array>

class AppState;
struct Forms;
class QButtonGroup;
class QLabel;
class QToolButton;

// The picture window: the current test picture and one button per picture.
//
//   Image1                          the picture's bitmap, 320 x 403, unscaled
//   SpeedButton1 .. SpeedButton24   "1." .. "24.", one exclusive group; the button of the
//                                   current picture is down; a click selects its picture
class TKepForm : public GuiToolDialog {
    Q_OBJECT
public:
    TKepForm(AppState& state, Forms& forms, QWidget* parent = nullptr);

    // Stores the pending answer, then makes picture n current everywhere: marking window's
    // picture field and combination labels, answer window, bitmap, button. When the pending
    // answer cannot be written the error is reported and nothing changes.
    void selectPicture(int picture);

    void SpeedButton1Click(int tag);

private:
    void loadBitmap(int picture);

    AppState& m_state;
    Forms& m_forms;
    QLabel* Image1;
    QButtonGroup* m_group;
    std::array<QToolButton*, 24> m_speedButtons{};
};
