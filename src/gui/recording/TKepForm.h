#pragma once

#include "gui/common/ToolWindow.h"
#include "model/Pictures.h"

#include <array>

class ExamSession;
class Platform;
class QButtonGroup;
class QLabel;
class QToolButton;

// The picture window: the current test picture and one button per picture.
//
//   Image1                          the picture's bitmap, 320 x 403, unscaled
//   SpeedButton1 .. SpeedButton24   "1." .. "24.", one exclusive group; the button of the
//                                   current picture is down; a click selects its picture
class TKepForm : public ToolWindow {
    Q_OBJECT
public:
    TKepForm(ExamSession& session, Platform& platform, QWidget* parent = nullptr);

    // Makes picture n current everywhere, after storing the pending answer. When that answer
    // cannot be written the error is reported and nothing changes.
    void selectPicture(int picture);

    void SpeedButton1Click(int tag);

private:
    void showPicture(int picture);
    void loadBitmap(int picture);

    ExamSession& m_session;
    Platform& m_platform;
    QLabel* Image1;
    QButtonGroup* m_group;
    std::array<QToolButton*, kPictureCount> m_speedButtons{};
};
