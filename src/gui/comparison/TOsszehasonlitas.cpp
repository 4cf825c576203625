#include "gui/comparison/TOsszehasonlitas.h"

#include "app/ErrorBoundary.h"
#include "app/ExamSession.h"
#include "gui/common/QtPlatform.h"
#include "gui/common/Widgets.h"
#include "gui/paper/PaperCommands.h"
#include "render/ComparisonPages.h"
#include "render/ComparisonTable.h"
#include "render/ProfileChart.h"
#include "services/ExaminationComparison.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

// The comparison's profile chart, drawn at the size of the page; without an evaluated
// examination there is no line to draw, and it says so.
class ComparisonChartView : public QWidget {
public:
    ComparisonChartView(const Comparison& comparison, const ExamSession& session, QWidget* parent)
        : QWidget(parent), m_comparison(comparison), m_session(session) {
        setObjectName(QStringLiteral("Abra"));
        setMinimumSize(480, 380);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        if (m_comparison.baseline()) {
            ProfileChart(m_comparison, m_session.decimalSeparator()).paint(painter, rect());
            return;
        }
        painter.setPen(QColor(0x44, 0x44, 0x44));
        painter.drawText(rect().adjusted(24, 24, -24, -24), Qt::AlignCenter | Qt::TextWordWrap,
                         QStringLiteral("Egyik vizsgálatból sem készülhet jegyzőkönyv, így profil sem."));
    }

private:
    const Comparison& m_comparison;
    const ExamSession& m_session;
};

} // namespace

TOsszehasonlitas::TOsszehasonlitas(const ExamSession& session, Platform& platform, PaperCommands& paper,
                                   QWidget* parent)
    // Like the archive it is opened from: a window of the main window that the examiner may enlarge.
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                          Qt::WindowCloseButtonHint),
      m_session(session), m_platform(platform), m_paper(paper) {
    setObjectName(QStringLiteral("TOsszehasonlitas"));
    setWindowTitle(QStringLiteral("Összehasonlítás"));
    resize(1000, 720);

    auto* layout = new QVBoxLayout(this);
    Lapok = new QTabWidget(this);
    Lapok->setObjectName(QStringLiteral("Lapok"));
    Tablazat = new QTextBrowser(Lapok);
    Tablazat->setObjectName(QStringLiteral("Tablazat"));
    Abra = new ComparisonChartView(m_comparison, m_session, Lapok);
    Lapok->addTab(Tablazat, QStringLiteral("Táblázat"));
    Lapok->addTab(Abra, QStringLiteral("Profil"));
    layout->addWidget(Lapok, 1);

    auto* bottom = new QHBoxLayout;
    Nyomtatas = Widgets::makeButton(QStringLiteral("Nyomtatás…"), QStringLiteral("Nyomtatas"), this);
    PdfMentes = Widgets::makeButton(QStringLiteral("PDF-be…"), QStringLiteral("PdfMentes"), this);
    Bezaras = Widgets::makeButton(QStringLiteral("Bezárás"), QStringLiteral("Bezaras"), this);
    bottom->addStretch();
    bottom->addWidget(Nyomtatas);
    bottom->addWidget(PdfMentes);
    bottom->addSpacing(16);
    bottom->addWidget(Bezaras);
    layout->addLayout(bottom);

    connect(Nyomtatas, &QPushButton::clicked, this, &TOsszehasonlitas::NyomtatasClick);
    connect(PdfMentes, &QPushButton::clicked, this, &TOsszehasonlitas::PdfMentesClick);
    connect(Bezaras, &QPushButton::clicked, this, &TOsszehasonlitas::hide);
}

bool TOsszehasonlitas::showComparison(const QStringList& paths) {
    Comparison read;
    if (!reportFailure(m_platform, [&] { read = ExaminationComparison::read(paths, m_session.key()); }))
        return false;
    m_comparison = std::move(read);
    const QChar sep = m_session.decimalSeparator();
    const QString names = ComparisonTable(m_comparison, sep).names();
    setWindowTitle(names.isEmpty() ? QStringLiteral("Összehasonlítás") : QStringLiteral("Összehasonlítás – ") + names);
    Tablazat->setHtml(ComparisonPages::contentHtml(m_comparison, sep));
    Abra->update();
    // First seen in the middle of the screen; afterwards where the examiner put it.
    if (!m_placed) {
        centreOnScreen(this);
        m_placed = true;
    }
    show();
    raise();
    activateWindow();
    return true;
}

void TOsszehasonlitas::NyomtatasClick() {
    m_paper.printComparison(m_comparison);
}

void TOsszehasonlitas::PdfMentesClick() {
    m_paper.saveComparisonPdf(m_comparison);
}
