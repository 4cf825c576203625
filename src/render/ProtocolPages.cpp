#include "render/ProtocolPages.h"

#include "base/TextFile.h"
#include "base/UserError.h"
#include "model/Coding.h"
#include "model/Evaluate.h"
#include "render/NumberText.h"
#include "render/PaperText.h"
#include "render/ProfileChart.h"
#include "render/ResultText.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFont>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

using R = EvaluationResult;

namespace {

const QString kHeadingColour = QStringLiteral("#d3e2f5");
const QString kTableOpen = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" "
                                          "style=\"border-collapse: collapse; border-color: #7d8ba0;\">");

// The evaluation's texts as characters, made safe for rich text.
QString text(QuartileClass position) {
    return PaperText::escaped(ResultText::quartileClass(position, ResultText::Form::Plain));
}

QString cell(const QString& content, const QString& attributes = QString()) {
    return QStringLiteral("<td%1>%2</td>")
        .arg(attributes.isEmpty() ? QString() : QLatin1Char(' ') + attributes, content);
}

QString headingRow(const QString& title, int columns) {
    return QStringLiteral("<tr><td colspan=\"%1\" bgcolor=\"%2\"><b>%3</b></td></tr>")
        .arg(columns)
        .arg(kHeadingColour, title);
}

QFont pageFont(double pointSize) {
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
    font.setPointSizeF(pointSize);
    return font;
}

QString markingTable(const Coding& coding) {
    QString h = kTableOpen + headingRow(QStringLiteral("I. JELÖLÉS"), 6);
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
    QString h = kTableOpen + headingRow(QStringLiteral("II. PROFIL"), 7);
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
    QString h = kTableOpen + headingRow(QStringLiteral("III. KIEGÉSZÍTŐ PROFIL"), 6);
    h += QStringLiteral("<tr><td colspan=\"5\"><b>FELETTES-ÉN MUTATÓK</b></td><td><b>TENDENCIÁK</b></td></tr>");
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
    QString h = kTableOpen + headingRow(QStringLiteral("RAUCHFLEISCH-MUTATÓK"), 2);
    for (char index = 'a'; index <= 'e'; ++index) {
        const std::optional<double> value = rauchfleischIndex(r, index);
        h += QStringLiteral("<tr>") + cell(formulas[index - 'a']) +
             cell(value ? fourDecimalText(*value, sep) : QStringLiteral("nincs ért."),
                  QStringLiteral("align=\"right\"")) +
             QStringLiteral("</tr>");
    }
    return h + QStringLiteral("</table>");
}

// The name, code, date and page number at the foot of every page, so a loose sheet still says
// whose it is.
void drawFooter(QPainter& p, const QRectF& rect, const PersonalData& pd, int page, int pages) {
    p.save();
    QFont font = pageFont(7.5);
    p.setFont(font);
    p.setPen(QColor(0x55, 0x55, 0x55));
    p.drawLine(QLineF(rect.topLeft(), rect.topRight()));
    QStringList who;
    for (const QString& part : {pd.name, pd.code, pd.date}) {
        if (!part.trimmed().isEmpty())
            who << PaperText::shown(part.trimmed());
    }
    const QString left = QStringLiteral("gyermek VKT jegyzőkönyv") +
                         (who.isEmpty() ? QString() : QStringLiteral(" – ") + who.join(QStringLiteral(", ")));
    p.drawText(rect, Qt::AlignLeft | Qt::AlignBottom, left);
    p.drawText(rect, Qt::AlignRight | Qt::AlignBottom, QStringLiteral("%1. oldal / %2").arg(page).arg(pages));
    p.restore();
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

    h += QStringLiteral("<p style=\"margin: 0px;\">&nbsp;</p>") + kTableOpen + QStringLiteral("<tr>") +
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

    QPainter painter;
    if (!painter.begin(&device))
        throw UserError(
            QStringLiteral("A jegyzőkönyv lapjai nem készíthetők el: a nyomtató vagy a fájl nem nyitható meg."));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    const QRectF page(0, 0, device.width(), device.height());
    const double footerHeight = page.height() * 0.035;
    const QRectF body(page.left(), page.top(), page.width(), page.height() - footerHeight);
    const QRectF footer(page.left(), body.bottom() + footerHeight * 0.3, page.width(), footerHeight * 0.7);

    QTextDocument doc;
    // Laid out on the device itself, so the point sizes and the paper's resolution agree.
    doc.documentLayout()->setPaintDevice(&device);
    doc.setDefaultFont(pageFont(10));
    doc.setDocumentMargin(0);
    doc.setPageSize(body.size());
    doc.setHtml(contentHtml(pd, coding, r, sep));
    const int contentPages = std::max(1, doc.pageCount());
    const int pages = contentPages + 1;

    for (int i = 0; i < contentPages; ++i) {
        if (i > 0)
            device.newPage();
        painter.save();
        painter.translate(0, -i * body.height());
        doc.drawContents(&painter, QRectF(0, i * body.height(), body.width(), body.height()));
        painter.restore();
        drawFooter(painter, footer, pd, i + 1, pages);
    }

    device.newPage();
    // The chart keeps the proportions it has on screen, at the top of its page.
    const QRectF chartArea(body.left(), body.top(), body.width(), std::min(body.height(), body.width() * 1.1));
    chart.paint(painter, chartArea);
    drawFooter(painter, footer, pd, pages, pages);
    painter.end();
    return pages;
}

QByteArray ProtocolPages::pdfBytes(const PersonalData& pd, const Coding& coding, const R& r, QChar sep) {
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(QPageLayout::Portrait);
        writer.setPageMargins(QMarginsF(15, 14, 15, 12), QPageLayout::Millimeter);
        writer.setResolution(300);
        writer.setCreator(QStringLiteral("gyermek VKT"));
        writer.setTitle(QStringLiteral("gyermek VKT jegyzőkönyv") +
                        (pd.code.isEmpty() ? QString() : QStringLiteral(" – ") + pd.code));
        paint(writer, pd, coding, r, sep);
    }
    return bytes;
}

void ProtocolPages::writePdf(const QString& path, const PersonalData& pd, const Coding& coding, const R& r, QChar sep) {
    const QByteArray bytes = pdfBytes(pd, coding, r, sep);
    // An empty document would be a broken file under a good name.
    if (!bytes.startsWith("%PDF"))
        throw UserError::cannotCreate(path);
    TextFile::writeBytes(path, bytes);
}
