#include "render/ComparisonPages.h"

#include "render/ComparisonTable.h"
#include "render/PaperPages.h"
#include "render/PaperText.h"
#include "render/ProfileChart.h"

#include <QPagedPaintDevice>
#include <QStringList>
#include <optional>

namespace {

QString codes(const Comparison& comparison) {
    QStringList out;
    for (const ComparedExamination& e : comparison.examinations) {
        if (!e.personal.code.isEmpty() && !out.contains(e.personal.code))
            out << e.personal.code;
    }
    return out.join(QStringLiteral(", "));
}

// Whose comparison a loose sheet is.
QString footerText(const Comparison& comparison, const ComparisonTable& table) {
    QStringList who;
    for (const QString& part : {table.names(), codes(comparison)}) {
        if (!part.isEmpty())
            who << part;
    }
    return QStringLiteral("gyermek VKT összehasonlítás") +
           (who.isEmpty() ? QString() : QStringLiteral(" – ") + who.join(QStringLiteral(", ")));
}

} // namespace

QString ComparisonPages::contentHtml(const Comparison& comparison, QChar sep) {
    const ComparisonTable table(comparison, sep);
    QString h = QStringLiteral("<html><body>");
    h += QStringLiteral("<p style=\"font-size: 15pt; font-weight: bold; margin-bottom: 6px;\">"
                        "Gyermek VKT – összehasonlítás</p>");
    if (!table.names().isEmpty())
        h += QStringLiteral("<p style=\"margin-bottom: 8px;\"><b>A vsz neve:</b> ") +
             PaperText::escaped(table.names()) + QStringLiteral("</p>");
    // Up to eight columns of values side by side: a smaller type keeps the table on one page.
    h += QStringLiteral("<div style=\"font-size: 7.5pt;\">") + table.html() + QStringLiteral("</div>");
    h += QStringLiteral("<p style=\"margin-top: 8px; color: #555555;\">A változás mindig az első értékelhető "
                        "vizsgálathoz képest értendő; ahol az osztály is változott, mindkettő látszik.</p>");
    return h + QStringLiteral("</body></html>");
}

int ComparisonPages::paint(QPagedPaintDevice& device, const Comparison& comparison, QChar sep) {
    // Without an evaluated examination there are no lines to draw, and no chart page.
    std::optional<ProfileChart> chart;
    if (comparison.baseline())
        chart.emplace(comparison, sep);
    PaperPages::ChartPage chartPage;
    if (chart)
        chartPage = [&chart](QPainter& painter, const QRectF& area) { chart->paint(painter, area); };
    return PaperPages::paint(device, QStringLiteral("Az összehasonlítás"), contentHtml(comparison, sep),
                             footerText(comparison, ComparisonTable(comparison, sep)), chartPage);
}

QByteArray ComparisonPages::pdfBytes(const Comparison& comparison, QChar sep) {
    const QString who = codes(comparison);
    return PaperPages::pdfBytes(QStringLiteral("gyermek VKT összehasonlítás") +
                                    (who.isEmpty() ? QString() : QStringLiteral(" – ") + who),
                                [&](QPagedPaintDevice& device) { paint(device, comparison, sep); });
}

void ComparisonPages::writePdf(const QString& path, const Comparison& comparison, QChar sep) {
    PaperPages::writePdf(path, pdfBytes(comparison, sep));
}
