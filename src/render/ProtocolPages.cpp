#include "render/ProtocolPages.h"

#include "model/Coding.h"
#include "model/Evaluate.h"
#include "render/NumberText.h"
#include "render/PaperPages.h"
#include "render/PaperText.h"
#include "render/ProfileChart.h"
#include "render/ResultText.h"

#include <QPagedPaintDevice>
#include <QPainter>

using R = EvaluationResult;

namespace {

using PaperText::cell;
using PaperText::headingRow;

// The evaluation's texts as characters, made safe for rich text.
QString text(QuartileClass position) {
    return PaperText::escaped(ResultText::quartileClass(position, ResultText::Form::Plain));
}

QString markingTable(const Coding& coding) {
    QString h = PaperText::tableOpen() + headingRow(QStringLiteral("I. JELÖLÉS"), 6);
    h += QStringLiteral("<tr><td></td><td><b>O - D</b></td><td><b>E - D</b></td><td><b>N - P</b></td>"
                        "<td><b>GCR</b></td><td><b>pont</b></td></tr>");
    for (int picture = 1; picture <= kPictureCount; ++picture) {
        const ScoringLine& line = coding.line(picture);
        h += QStringLiteral("<tr>") +
             cell(QString::number(picture) + QLatin1Char('.'), QStringLiteral("align=\"right\""));
        for (int column = 1; column <= 3; ++column)
            h += cell(PaperText::escaped(PaperText::shown(line.field(column))));
        h += cell(PaperText::escaped(coding.key().pair(picture).displayText())) +
             cell(coding.pointText(picture), QStringLiteral("align=\"right\"")) + QStringLiteral("</tr>");
    }
    return h + QStringLiteral("</table>");
}

QString profileTable(const R& r, QChar sep) {
    auto num = [sep](double value) { return cell(fourDecimalText(value, sep), QStringLiteral("align=\"right\"")); };
    QString h = PaperText::tableOpen() + headingRow(QStringLiteral("II. PROFIL"), 7);
    h += QStringLiteral("<tr><td></td><td><b>O - D</b></td><td><b>E - D</b></td><td><b>N - P</b></td>"
                        "<td><b>Össz.</b></td><td><b>%</b></td><td><b>T</b></td></tr>");
    static const char* const directions[3] = {"E", "I", "M"};
    for (size_t d = 0; d < 3; ++d) {
        h += QStringLiteral("<tr><td align=\"right\"><b>%1</b></td>").arg(QLatin1String(directions[d]));
        for (size_t t = 0; t < 3; ++t)
            h += num(r.cellScore[d][t]);
        h += num(r.rowTotal[d]) + num(r.rowPercent[d]) + cell(text(r.rowClass[d])) + QStringLiteral("</tr>");
    }
    const QString blanks = QStringLiteral("<td></td><td></td><td></td></tr>");
    h += QStringLiteral("<tr><td align=\"right\"><b>Össz.</b></td>");
    for (double total : r.columnTotal)
        h += num(total);
    h += blanks + QStringLiteral("<tr><td align=\"right\"><b>%</b></td>");
    for (double share : r.columnPercent)
        h += num(share);
    h += blanks + QStringLiteral("<tr><td align=\"right\"><b>T</b></td>");
    for (const QuartileClass position : r.columnClass)
        h += cell(text(position));
    return h + blanks + QStringLiteral("</table>");
}

QString superegoTable(const R& r, QChar sep) {
    const QString minus = QStringLiteral(" \u2212 ");
    const QString formulas[6] = {QStringLiteral("EE"),
                                 QStringLiteral("II"),
                                 QStringLiteral("EE + II"),
                                 QStringLiteral("E<sub>E-D</sub>") + minus + QStringLiteral("EE"),
                                 QStringLiteral("I<sub>E-D</sub>") + minus + QStringLiteral("II"),
                                 QStringLiteral("M + II")};
    QString h = PaperText::tableOpen() + headingRow(QStringLiteral("III. KIEGÉSZÍTŐ PROFIL"), 6);
    // The trends are short, so the table would squeeze their column below its heading's width and
    // break the word in two.
    h += QStringLiteral("<tr><td colspan=\"5\"><b>FELETTES-ÉN MUTATÓK</b></td>"
                        "<td style=\"white-space: nowrap;\"><b>TENDENCIÁK</b></td></tr>");
    for (size_t k = 0; k < 6; ++k) {
        QStringList trends;
        if (k < 5) {
            for (int place = 1; place <= 3; ++place) {
                if (r.trendRatio[k][static_cast<size_t>(place - 1)])
                    trends << PaperText::escaped(
                        ResultText::trend(r, static_cast<int>(k) + 1, place, sep, ResultText::Form::Plain));
            }
            if (trends.isEmpty())
                trends << QStringLiteral("nincs");
        }
        h += QStringLiteral("<tr>") +
             cell(QString::number(k + 1) + QLatin1Char('.'), QStringLiteral("align=\"right\"")) + cell(formulas[k]) +
             cell(fourDecimalText(r.superegoScore[k], sep), QStringLiteral("align=\"right\"")) +
             cell(fourDecimalText(r.superegoPercent[k], sep) + QLatin1Char('%'), QStringLiteral("align=\"right\"")) +
             cell(text(r.superegoClass[k]) + QStringLiteral(" T")) + cell(trends.join(QStringLiteral("<br>"))) +
             QStringLiteral("</tr>");
    }
    return h + QStringLiteral("</table>");
}

QString rauchfleischTable(const R& r, QChar sep) {
    const QString minus = QStringLiteral(" \u2212 ");
    const QString formulas[5] = {QStringLiteral("a = E / I"), QStringLiteral("b = E / M"), QStringLiteral("c = E / e"),
                                 QStringLiteral("d = (E") + minus + QStringLiteral("EE) / (EE + II)"),
                                 QStringLiteral("e = i / e")};
    QString h = PaperText::tableOpen() + headingRow(QStringLiteral("RAUCHFLEISCH-MUTATÓK"), 2);
    for (char index = 'a'; index <= 'e'; ++index) {
        const std::optional<double> value = rauchfleischIndex(r, index);
        h += QStringLiteral("<tr>") + cell(formulas[index - 'a']) +
             cell(value ? fourDecimalText(*value, sep) : QStringLiteral("nincs ért."),
                  QStringLiteral("align=\"right\"")) +
             QStringLiteral("</tr>");
    }
    return h + QStringLiteral("</table>");
}

// The name, code and date at the foot of every page, so a loose sheet still says whose it is.
QString footerText(const PersonalData& pd) {
    QStringList who;
    for (const QString& part : {pd.name, pd.code, pd.date}) {
        if (!part.trimmed().isEmpty())
            who << PaperText::shown(part.trimmed());
    }
    return QStringLiteral("gyermek VKT jegyzőkönyv") +
           (who.isEmpty() ? QString() : QStringLiteral(" – ") + who.join(QStringLiteral(", ")));
}

} // namespace

QString ProtocolPages::contentHtml(const PersonalData& pd, const Coding& coding, const R& r, QChar sep) {
    auto field = [](const char* label, const QString& value) {
        return QStringLiteral("<td style=\"padding-right: 24px;\"><b>%1</b> %2</td>")
            .arg(QString::fromUtf8(label), PaperText::escaped(PaperText::shown(value)));
    };
    QString h = QStringLiteral("<html><body>");
    h += QStringLiteral("<p style=\"font-size: 15pt; font-weight: bold; margin-bottom: 6px;\">"
                        "Gyermek VKT – jegyzőkönyv</p>");
    h += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"2\" style=\"margin-bottom: 8px;\">");
    h += QStringLiteral("<tr>") + field("A vsz neve:", pd.name) + field("A vsz kódja:", pd.code) +
         QStringLiteral("</tr>");
    h += QStringLiteral("<tr>") +
         field("neme:", pd.sex == PersonalData::Sex::Girl ? QStringLiteral("lány") : QStringLiteral("fiú")) +
         field("a vizsgálat időpontja:", pd.date) + QStringLiteral("</tr>");
    h += QStringLiteral("<tr>") + field("életkora:", QString::number(pd.age)) +
         field("a vizsgálat vezetője:", pd.examiner) + QStringLiteral("</tr></table>");

    // The marking table down the left, the evaluated tables beside it, as the screen protocol has them.
    h += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"0\" width=\"100%\"><tr>"
                        "<td valign=\"top\" style=\"padding-right: 14px;\">");
    h += markingTable(coding);
    h += QStringLiteral("</td><td valign=\"top\">");
    h += profileTable(r, sep);
    h += QStringLiteral("<p style=\"margin: 0px;\">&nbsp;</p>") + superegoTable(r, sep);
    h += QStringLiteral("<p style=\"margin: 0px;\">&nbsp;</p>") + rauchfleischTable(r, sep);
    h += QStringLiteral("</td></tr></table>");

    h += QStringLiteral("<p style=\"margin: 0px;\">&nbsp;</p>") + PaperText::tableOpen() + QStringLiteral("<tr>") +
         cell(QStringLiteral("<b>Totális mutató:</b> ") +
              PaperText::escaped(ResultText::totalIndex(r.topCell, sep, ResultText::Form::Plain))) +
         cell(QStringLiteral("<b>GCR százalék:</b> ") + QString::number(r.gcrPercent) + QStringLiteral(" (") +
              PaperText::escaped(ResultText::gcrClass(r.gcrClass)) + QLatin1Char(')')) +
         QStringLiteral("</tr></table>");
    h += QStringLiteral("<p style=\"margin-top: 10px; color: #555555;\">A profil ábrája a következő oldalon.</p>");
    return h + QStringLiteral("</body></html>");
}

int ProtocolPages::paint(QPagedPaintDevice& device, const PersonalData& pd, const Coding& coding, const R& r,
                         QChar sep) {
    // Built first: an age without norms stops here, before anything reaches the device.
    const ProfileChart chart(pd, r, sep);
    return PaperPages::paint(device, QStringLiteral("A jegyzőkönyv"), contentHtml(pd, coding, r, sep), footerText(pd),
                             [&chart](QPainter& painter, const QRectF& area) { chart.paint(painter, area); });
}

QByteArray ProtocolPages::pdfBytes(const PersonalData& pd, const Coding& coding, const R& r, QChar sep) {
    return PaperPages::pdfBytes(QStringLiteral("gyermek VKT jegyzőkönyv") +
                                    (pd.code.isEmpty() ? QString() : QStringLiteral(" – ") + pd.code),
                                [&](QPagedPaintDevice& device) { paint(device, pd, coding, r, sep); });
}

void ProtocolPages::writePdf(const QString& path, const PersonalData& pd, const Coding& coding, const R& r, QChar sep) {
    PaperPages::writePdf(path, pdfBytes(pd, coding, r, sep));
}
