#pragma once

#include "gui/common/ToolWindow.h"
#include "render/ProfileChart.h"

#include <QWidget>
#include <optional>

class ExamSession;

// The drawing area of the profile window. It evaluates the examination in hand each time it
// paints, so the chart follows every change of the coding and the personal data; an
// examination that cannot be evaluated any more gets the reason instead of a chart.
class ProfileChartView : public QWidget {
    Q_OBJECT
public:
    explicit ProfileChartView(const ExamSession& session, QWidget* parent = nullptr);

    // What is drawn now: empty while the chart is shown, else why there is none.
    QString notice() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The chart of the examination as it stands, or none with the reason in notice.
    std::optional<ProfileChart> chart(QString& notice) const;

    const ExamSession& m_session;
};

// Profile window "Profil": the profile chart of the examination in hand (the thirteen measures
// against the norms of the child's age bracket), opened from "Vizsgálat" → "Profil".
//
//   Chart    ProfileChartView filling the window; redrawn when the coding, the personal data
//            or the active window changes
class TProfil : public ToolWindow {
    Q_OBJECT
public:
    explicit TProfil(const ExamSession& session, QWidget* parent = nullptr);

    // Shows the window (or brings it to the front) with the chart as the session stands.
    void showProfile();

protected:
    void showEvent(QShowEvent* event) override;

private:
    ProfileChartView* Chart = nullptr;
    bool m_placed = false;
};
