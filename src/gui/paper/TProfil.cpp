#include "gui/paper/TProfil.h"

#include "app/ExamSession.h"
#include "base/UserError.h"
#include "gui/common/QtPlatform.h"
#include "model/Evaluate.h"
#include "render/ProfileChart.h"

#include <QPainter>
#include <QVBoxLayout>
#include <QWindow>

ProfileChartView::ProfileChartView(const ExamSession& session, QWidget* parent) : QWidget(parent), m_session(session) {
    setObjectName(QStringLiteral("Chart"));
    setAutoFillBackground(false);
    setMinimumSize(480, 380);
}

std::optional<ProfileChart> ProfileChartView::chart(QString& notice) const {
    const int marked = m_session.coding().markedPictureCount();
    const ProtocolRefusal refusal = ProtocolGate::refusal(marked, m_session.personal().age);
    if (refusal != ProtocolRefusal::None) {
        notice = ProtocolGate::refusalText(refusal, marked, m_session.personal().age);
        return std::nullopt;
    }
    try {
        return ProfileChart(m_session.personal(), m_session.evaluate(), m_session.decimalSeparator());
    } catch (const UserError& e) {
        notice = e.text();
        return std::nullopt;
    }
}

QString ProfileChartView::notice() const {
    QString text;
    chart(text);
    return text;
}

void ProfileChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRectF area = rect();
    painter.fillRect(area, Qt::white);
    QString why;
    if (const std::optional<ProfileChart> profile = chart(why)) {
        profile->paint(painter, area);
        return;
    }
    painter.setPen(QColor(0x44, 0x44, 0x44));
    painter.drawText(area.adjusted(24, 24, -24, -24), Qt::AlignCenter | Qt::TextWordWrap, why);
}

TProfil::TProfil(const ExamSession& session, QWidget* parent) : ToolWindow(Frame::CloseBox, parent) {
    setObjectName(QStringLiteral("TProfil"));
    setWindowTitle(QStringLiteral("Profil"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    Chart = new ProfileChartView(session, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Chart);
    resize(840, 640);

    // The chart is drawn from the session, so a repaint is all a change needs.
    connect(&session.grid(), &MarkingGrid::codingChanged, Chart, qOverload<>(&QWidget::update));
    connect(&session, &ExamSession::personalDataReplaced, Chart, qOverload<>(&QWidget::update));
    connect(&session, &ExamSession::personalDataChanged, Chart, qOverload<>(&QWidget::update));
}

void TProfil::showProfile() {
    show();
    raise();
    activateWindow();
    Chart->update();
}

void TProfil::showEvent(QShowEvent* event) {
    // First seen in the middle of the screen; afterwards where the examiner put it.
    if (!m_placed) {
        centreOnScreen(this);
        m_placed = true;
    }
    ToolWindow::showEvent(event);
}
