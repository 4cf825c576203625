#include "render/ProfileChart.h"

#include "base/TextFile.h"
#include "base/UserError.h"
#include "model/AgeBrackets.h"
#include "render/NumberText.h"
#include "render/ResultText.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>

namespace {

// Heights in units of one row-height "u": the title block, one measure, a group heading, the
// tick labels and the legend, with the margins around them.
constexpr double kUnits = 32.0;
constexpr double kMargin = 0.8;
constexpr double kTitle = 1.6;
constexpr double kSubtitle = 1.1;
constexpr double kGap = 0.4;
constexpr double kRow = 1.5;
constexpr double kGroup = 1.0;
constexpr double kAxisText = 1.0;
constexpr double kLegend = 2.2;

// The label column and the value column as shares of the width.
constexpr double kLabelShare = 0.19;
constexpr double kTextShare = 0.20;

QFont chartFont(double pixelSize, bool bold = false) {
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(std::max(1, qRound(pixelSize)));
    font.setBold(bold);
    return font;
}

QString percentText(double value, QChar sep) {
    return fourDecimalText(value, sep) + QStringLiteral(" %");
}

ProfileChart::Measure quartileMeasure(const ProfileChart::Label& label, const NormEntry& norm, double value,
                                      QuartileClass position, QChar sep) {
    ProfileChart::Measure m;
    m.label = label;
    m.norm = norm;
    m.value = value;
    m.valueText = percentText(value, sep);
    m.positionText = ResultText::quartileClass(position, ResultText::Form::Plain);
    m.position = ProfileChart::positionOf(position);
    return m;
}

void drawMarker(QPainter& p, ProfileChart::Marker marker, const QPointF& c, double size, const QColor& colour) {
    const double h = size / 2;
    p.save();
    p.setPen(QPen(Qt::black, std::max(1.0, size / 12)));
    p.setBrush(colour);
    switch (marker) {
    case ProfileChart::Marker::TriangleLeft:
        p.drawPolygon(QPolygonF{{c.x() - h, c.y()}, {c.x() + h, c.y() - h}, {c.x() + h, c.y() + h}});
        break;
    case ProfileChart::Marker::Circle:
        p.drawEllipse(c, h * 0.9, h * 0.9);
        break;
    case ProfileChart::Marker::Diamond:
        p.drawPolygon(QPolygonF{{c.x(), c.y() - h}, {c.x() + h, c.y()}, {c.x(), c.y() + h}, {c.x() - h, c.y()}});
        break;
    case ProfileChart::Marker::Square:
        p.drawRect(QRectF(c.x() - h * 0.8, c.y() - h * 0.8, h * 1.6, h * 1.6));
        break;
    case ProfileChart::Marker::TriangleRight:
        p.drawPolygon(QPolygonF{{c.x() + h, c.y()}, {c.x() - h, c.y() - h}, {c.x() - h, c.y() + h}});
        break;
    case ProfileChart::Marker::TriangleUp:
        p.drawPolygon(QPolygonF{{c.x(), c.y() - h}, {c.x() + h, c.y() + h * 0.8}, {c.x() - h, c.y() + h * 0.8}});
        break;
    case ProfileChart::Marker::DoubleTriangleRight: {
        // Two arrowheads side by side, the front one at the value.
        const double w = h * 0.9;
        for (double tip : {c.x() + w, c.x()})
            p.drawPolygon(QPolygonF{{tip, c.y()}, {tip - w * 1.2, c.y() - h}, {tip - w * 1.2, c.y() + h}});
        break;
    }
    }
    p.restore();
}

// A label with its subscript, left-aligned and vertically centred in rect.
void drawLabel(QPainter& p, const ProfileChart::Label& label, const QRectF& rect, double fontSize) {
    const QFont main = chartFont(fontSize);
    const QFont small = chartFont(fontSize * 0.72);
    const QFontMetricsF mainMetrics(main, p.device());
    const QFontMetricsF smallMetrics(small, p.device());
    const double baseline = rect.center().y() + (mainMetrics.ascent() - mainMetrics.descent()) / 2;
    double x = rect.left();
    p.setFont(main);
    p.drawText(QPointF(x, baseline), label.text);
    x += mainMetrics.horizontalAdvance(label.text);
    if (!label.sub.isEmpty()) {
        p.setFont(small);
        p.drawText(QPointF(x, baseline + fontSize * 0.3), label.sub);
        x += smallMetrics.horizontalAdvance(label.sub);
        p.setFont(main);
    }
    p.drawText(QPointF(x, baseline), label.tail);
}

const QColor kBandFill(0xd5, 0xdd, 0xe8);
const QColor kBandEdge(0x7a, 0x8a, 0xa0);

// A piece of band with its median, and what it means, in cell.
void drawBandSample(QPainter& p, const QRectF& cell, double u) {
    const QRectF sampleBand(cell.left() + u * 0.2, cell.top() + cell.height() * 0.3, u * 1.8, cell.height() * 0.4);
    p.setPen(QPen(kBandEdge, std::max(1.0, u * 0.04)));
    p.setBrush(kBandFill);
    p.drawRect(sampleBand);
    p.setPen(QPen(QColor(0x1a, 0x20, 0x2c), std::max(1.5, u * 0.12)));
    p.drawLine(QLineF(sampleBand.center().x() - u * 0.2, sampleBand.top() - u * 0.1, sampleBand.center().x() - u * 0.2,
                      sampleBand.bottom() + u * 0.1));
    p.setPen(Qt::black);
    p.drawText(QRectF(cell.left() + u * 2.4, cell.top(), cell.width() - u * 2.4, cell.height()),
               Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("a korcsoport Q1–Q3 sávja és mediánja"));
}

} // namespace

QString ProfileChart::Label::plain() const {
    return sub.isEmpty() ? text + tail : text + QLatin1Char('(') + sub + QLatin1Char(')') + tail;
}

double ProfileChart::Geometry::xFor(double percent) const {
    const double clamped = std::clamp(percent, 0.0, kScaleMaximum);
    return plot.left() + plot.width() * clamped / kScaleMaximum;
}

ProfileChart::ProfileChart(const PersonalData& personal, const EvaluationResult& r, QChar sep) {
    const std::optional<NormTable> norms = normTableForAge(personal.age);
    if (!norms)
        throw UserError(AgeBrackets::outsideText(personal.age) + QStringLiteral("; a profil nem rajzolható."));

    m_title = personal.code.isEmpty() ? QStringLiteral("Profil") : QStringLiteral("Profil: ") + personal.code;
    m_subtitle = QStringLiteral("%1 éves korcsoport normái   ·   sáv: Q1–Q3, függőleges vonal: medián   ·   "
                                "jel: a vsz értéke")
                     .arg(bracketText(personal.age));

    Measure& gcr = m_measures[0];
    gcr.label = {QStringLiteral("GCR %"), {}, {}};
    gcr.group = QStringLiteral("GCR százalék");
    gcr.norm = norms->gcrPercent;
    gcr.value = r.gcrPercent;
    gcr.valueText = QString::number(r.gcrPercent) + QStringLiteral(" %");
    gcr.positionText = ResultText::gcrClass(r.gcrClass);
    gcr.position = positionOf(r.gcrClass);
    gcr.extremeLimit = gcrExtremeLimit(norms->gcrPercent);

    static const char* const directions[3] = {"E", "I", "M"};
    for (size_t d = 0; d < 3; ++d)
        m_measures[1 + d] = quartileMeasure({QLatin1String(directions[d]), {}, {}}, norms->rowPercent[d],
                                            r.rowPercent[d], r.rowClass[d], sep);
    m_measures[1].group = QStringLiteral("II. Profil: irányok");

    static const char* const reactions[3] = {"O - D", "E - D", "N - P"};
    for (size_t t = 0; t < 3; ++t)
        m_measures[4 + t] = quartileMeasure({QLatin1String(reactions[t]), {}, {}}, norms->columnPercent[t],
                                            r.columnPercent[t], r.columnClass[t], sep);
    m_measures[4].group = QStringLiteral("II. Profil: reakciótípusok");

    for (size_t k = 0; k < 6; ++k)
        m_measures[7 + k] = quartileMeasure(superegoLabels()[k], norms->superegoPercent[k], r.superegoPercent[k],
                                            r.superegoClass[k], sep);
    m_measures[7].group = QStringLiteral("III. Kiegészítő profil: felettes-én mutatók");
}

namespace {

const ComparedExamination& latestEvaluated(const Comparison& comparison) {
    for (auto e = comparison.examinations.rbegin(); e != comparison.examinations.rend(); ++e) {
        if (e->evaluated())
            return *e;
    }
    throw UserError(QStringLiteral("Egyik vizsgálatból sem készülhet jegyzőkönyv; a profil nem rajzolható."));
}

} // namespace

ProfileChart::ProfileChart(const Comparison& comparison, QChar sep)
    : ProfileChart(latestEvaluated(comparison).personal, *latestEvaluated(comparison).result, sep) {
    const ComparedExamination& latest = latestEvaluated(comparison);
    bool oneBracket = true;
    for (const ComparedExamination& e : comparison.examinations) {
        if (!e.evaluated())
            continue;
        m_lines.push_back({QStringLiteral("%1 (%2 éves)").arg(e.personal.date.trimmed()).arg(e.personal.age),
                           measureValues(*e.result)});
        oneBracket = oneBracket && bracketText(e.personal.age) == bracketText(latest.personal.age);
    }
    m_title = QStringLiteral("Profil: összehasonlítás") +
              (latest.personal.code.isEmpty() ? QString() : QStringLiteral(" – ") + latest.personal.code);
    const QString norms = oneBracket ? QStringLiteral("%1 éves korcsoport normái")
                                     : QStringLiteral("a legutóbbi vizsgálat korcsoportjának (%1 éves) normái");
    m_subtitle = (norms + QStringLiteral("   ·   sáv: Q1–Q3, függőleges vonal: medián   ·   "
                                         "vonal: egy-egy vizsgálat"))
                     .arg(bracketText(latest.personal.age));
}

std::array<double, ProfileChart::kMeasureCount> ProfileChart::measureValues(const EvaluationResult& r) {
    std::array<double, kMeasureCount> values{};
    values[0] = r.gcrPercent;
    for (size_t i = 0; i < 3; ++i) {
        values[1 + i] = r.rowPercent[i];
        values[4 + i] = r.columnPercent[i];
    }
    for (size_t k = 0; k < 6; ++k)
        values[7 + k] = r.superegoPercent[k];
    return values;
}

ProfileChart::LineLook ProfileChart::lineLook(int line) {
    static const LineLook looks[] = {{QColor(0x2b, 0x6c, 0xb0), Marker::Circle, Qt::SolidLine},
                                     {QColor(0xdd, 0x6b, 0x20), Marker::Square, Qt::DashLine},
                                     {QColor(0x2f, 0x85, 0x5a), Marker::Diamond, Qt::DotLine},
                                     {QColor(0x80, 0x5a, 0xd5), Marker::TriangleUp, Qt::DashDotLine}};
    return looks[static_cast<size_t>(std::clamp(line, 0, 3))];
}

const std::array<ProfileChart::Label, 6>& ProfileChart::superegoLabels() {
    static const QString minus = QStringLiteral(" \u2212 ");
    static const std::array<Label, 6> labels = {
        {{QStringLiteral("1.  EE"), {}, {}},
         {QStringLiteral("2.  II"), {}, {}},
         {QStringLiteral("3.  EE + II"), {}, {}},
         {QStringLiteral("4.  E"), QStringLiteral("E-D"), minus + QStringLiteral("EE")},
         {QStringLiteral("5.  I"), QStringLiteral("E-D"), minus + QStringLiteral("II")},
         {QStringLiteral("6.  M + II"), {}, {}}}};
    return labels;
}

ProfileChart::Position ProfileChart::positionOf(QuartileClass position) {
    switch (position) {
    case QuartileClass::BelowQ1:
        return Position::BelowQ1;
    case QuartileClass::Q1ToMedian:
        return Position::Q1Mdn;
    case QuartileClass::Median:
        return Position::Median;
    case QuartileClass::MedianToQ3:
        return Position::MdnQ3;
    case QuartileClass::AboveQ3:
        return Position::AboveQ3;
    }
    return Position::Unknown;
}

ProfileChart::Position ProfileChart::positionOf(GcrClass position) {
    switch (position) {
    case GcrClass::Low:
        return Position::GcrLow;
    case GcrClass::Normal:
        return Position::GcrNormal;
    case GcrClass::High:
        return Position::GcrHigh;
    case GcrClass::ExtremelyHigh:
        return Position::GcrExtreme;
    }
    return Position::Unknown;
}

ProfileChart::Marker ProfileChart::markerOf(Position position) {
    switch (position) {
    case Position::BelowQ1:
    case Position::GcrLow:
        return Marker::TriangleLeft;
    case Position::Median:
    case Position::GcrNormal:
        return Marker::Diamond;
    case Position::MdnQ3:
        return Marker::Square;
    case Position::AboveQ3:
    case Position::GcrHigh:
        return Marker::TriangleRight;
    case Position::GcrExtreme:
        return Marker::DoubleTriangleRight;
    case Position::Q1Mdn:
    case Position::Unknown:
        break;
    }
    return Marker::Circle;
}

QColor ProfileChart::colourOf(Position position) {
    switch (position) {
    case Position::BelowQ1:
    case Position::GcrLow:
        return QColor(0x2b, 0x6c, 0xb0);
    case Position::Q1Mdn:
        return QColor(0x31, 0x97, 0x95);
    case Position::Median:
    case Position::GcrNormal:
        return QColor(0x2f, 0x85, 0x5a);
    case Position::MdnQ3:
        return QColor(0xd6, 0x9e, 0x2e);
    case Position::AboveQ3:
    case Position::GcrHigh:
        return QColor(0xc5, 0x30, 0x30);
    case Position::GcrExtreme:
        return QColor(0x70, 0x24, 0x59);
    case Position::Unknown:
        break;
    }
    return QColor(0x71, 0x80, 0x96);
}

QString ProfileChart::bracketText(int age) {
    return AgeBrackets::text(AgeBrackets::of(std::clamp(age, AgeBrackets::kYoungest, AgeBrackets::kOldest)));
}

ProfileChart::Geometry ProfileChart::geometry(const QRectF& area) const {
    Geometry g;
    const double u = area.height() / kUnits;
    const double margin = kMargin * u;
    const QRectF inner = area.adjusted(margin, margin, -margin, -margin);
    g.fontSize = std::min(0.62 * u, inner.width() / 62);

    double y = inner.top();
    g.titleRect = QRectF(inner.left(), y, inner.width(), kTitle * u);
    y += kTitle * u;
    g.subtitleRect = QRectF(inner.left(), y, inner.width(), kSubtitle * u);
    y += kSubtitle * u + kGap * u;

    const double labelWidth = inner.width() * kLabelShare;
    // A comparison's values stand in its table; its lines have the width instead.
    const double textWidth = m_lines.empty() ? inner.width() * kTextShare : 0.0;
    const double gap = inner.width() * 0.02;
    const double plotLeft = inner.left() + labelWidth + gap;
    const double plotRight = inner.right() - textWidth - gap;
    const double plotTop = y;

    for (int i = 0; i < kMeasureCount; ++i) {
        const Measure& m = m_measures[static_cast<size_t>(i)];
        Row& row = g.rows[static_cast<size_t>(i)];
        if (!m.group.isEmpty()) {
            row.groupRect = QRectF(inner.left(), y, inner.width(), kGroup * u);
            y += kGroup * u;
        }
        row.rect = QRectF(inner.left(), y, inner.width(), kRow * u);
        y += kRow * u;
    }
    g.plot = QRectF(plotLeft, plotTop, plotRight - plotLeft, y - plotTop);

    for (int value = 0; value <= kScaleMaximum; value += 10) {
        g.tickValue.push_back(value);
        g.tickX.push_back(g.xFor(value));
    }
    g.axisTextRect = QRectF(inner.left(), y, inner.width(), kAxisText * u);
    y += kAxisText * u + kGap * u;
    g.legendRect = QRectF(inner.left(), y, inner.width(), kLegend * u);

    for (int i = 0; i < kMeasureCount; ++i) {
        const Measure& m = m_measures[static_cast<size_t>(i)];
        Row& row = g.rows[static_cast<size_t>(i)];
        const double cy = row.rect.center().y();
        const double bandHeight = row.rect.height() * 0.5;
        row.labelRect = QRectF(inner.left() + u * 0.4, row.rect.top(), labelWidth - u * 0.4, row.rect.height());
        row.textRect = QRectF(plotRight + gap, row.rect.top(), textWidth, row.rect.height());
        const double q1 = g.xFor(m.norm.q1);
        const double q3 = g.xFor(m.norm.q3);
        row.band = QRectF(q1, cy - bandHeight / 2, q3 - q1, bandHeight);
        const double median = g.xFor(m.norm.median);
        row.medianMark =
            QLineF(median, row.band.top() - bandHeight * 0.15, median, row.band.bottom() + bandHeight * 0.15);
        row.point = QPointF(g.xFor(m.value), cy);
        for (const Line& line : m_lines)
            row.linePoints.push_back(QPointF(g.xFor(line.values[static_cast<size_t>(i)]), cy));
        row.markerSize = row.rect.height() * 0.62;
        if (m.extremeLimit >= 0) {
            const double x = g.xFor(m.extremeLimit);
            row.extremeMark =
                QLineF(x, row.rect.top() + row.rect.height() * 0.1, x, row.rect.bottom() - row.rect.height() * 0.1);
        }
    }
    return g;
}

void ProfileChart::paint(QPainter& p, const QRectF& area) const {
    const Geometry g = geometry(area);
    const double u = area.height() / kUnits;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.fillRect(area, Qt::white);
    p.setPen(Qt::black);

    p.setFont(chartFont(g.fontSize * 1.6, true));
    p.drawText(g.titleRect, Qt::AlignLeft | Qt::AlignVCenter, m_title);
    p.setFont(chartFont(g.fontSize * 0.95));
    p.setPen(QColor(0x33, 0x33, 0x33));
    p.drawText(g.subtitleRect, Qt::AlignLeft | Qt::AlignVCenter, m_subtitle);

    // Every other row shaded, so the eye follows a row from its label to its value.
    for (int i = 0; i < kMeasureCount; i += 2)
        p.fillRect(g.rows[static_cast<size_t>(i)].rect, QColor(0xf3, 0xf5, 0xf8));

    const QColor gridColour(0xc8, 0xcd, 0xd4);
    for (size_t t = 0; t < g.tickX.size(); ++t) {
        const bool major = g.tickValue[t] % 50 == 0;
        p.setPen(QPen(major ? gridColour.darker(125) : gridColour, std::max(1.0, u * (major ? 0.06 : 0.03))));
        p.drawLine(QLineF(g.tickX[t], g.plot.top(), g.tickX[t], g.plot.bottom()));
    }
    p.setPen(QColor(0x33, 0x33, 0x33));
    p.setFont(chartFont(g.fontSize * 0.85));
    for (size_t t = 0; t < g.tickX.size(); ++t) {
        const QRectF cell(g.tickX[t] - u * 2, g.axisTextRect.top(), u * 4, g.axisTextRect.height());
        p.drawText(cell, Qt::AlignHCenter | Qt::AlignTop, QString::number(g.tickValue[t]) + QStringLiteral(" %"));
    }

    for (int i = 0; i < kMeasureCount; ++i) {
        const Measure& m = m_measures[static_cast<size_t>(i)];
        const Row& row = g.rows[static_cast<size_t>(i)];
        if (!row.groupRect.isEmpty()) {
            p.setPen(Qt::black);
            p.setFont(chartFont(g.fontSize, true));
            p.drawText(row.groupRect.adjusted(0, 0, 0, -u * 0.1), Qt::AlignLeft | Qt::AlignBottom, m.group);
        }
        p.setPen(Qt::black);
        drawLabel(p, m.label, row.labelRect, g.fontSize);

        p.setPen(QPen(kBandEdge, std::max(1.0, u * 0.04)));
        p.setBrush(kBandFill);
        p.drawRect(row.band);
        p.setPen(QPen(QColor(0x1a, 0x20, 0x2c), std::max(1.5, u * 0.12)));
        p.drawLine(row.medianMark);
        if (!row.extremeMark.isNull()) {
            QPen dashed(colourOf(Position::GcrExtreme), std::max(1.0, u * 0.06), Qt::DashLine);
            p.setPen(dashed);
            p.drawLine(row.extremeMark);
        }
        if (!m_lines.empty())
            continue;
        drawMarker(p, markerOf(m.position), row.point, row.markerSize, colourOf(m.position));

        p.setPen(Qt::black);
        const QRectF valueCell(row.textRect.left(), row.textRect.top(), row.textRect.width() * 0.34,
                               row.textRect.height());
        const QRectF positionCell = row.textRect.adjusted(row.textRect.width() * 0.40, 0, 0, 0);
        p.setFont(chartFont(g.fontSize, true));
        p.drawText(valueCell, Qt::AlignRight | Qt::AlignVCenter, m.valueText);
        p.setFont(chartFont(g.fontSize));
        p.drawText(positionCell, Qt::AlignLeft | Qt::AlignVCenter, m.positionText);
    }

    if (m_lines.empty()) {
        paintLegend(p, g, u);
    } else {
        paintLines(p, g);
        paintLineLegend(p, g, u);
    }
    p.restore();
}

void ProfileChart::paintLegend(QPainter& p, const Geometry& g, double u) const {
    // The six markers in two lines, then what the band means.
    struct Item {
        Position position;
        QString text;
    };
    const std::array<Item, 6> items = {{{Position::BelowQ1, QStringLiteral("<Q1, GCR: alacsony")},
                                        {Position::Q1Mdn, QStringLiteral("Q1/Mdn")},
                                        {Position::Median, QStringLiteral("Mdn, GCR: normál")},
                                        {Position::MdnQ3, QStringLiteral("Mdn/Q3")},
                                        {Position::AboveQ3, QStringLiteral(">Q3, GCR: magas")},
                                        {Position::GcrExtreme, QStringLiteral("GCR: extrém magas")}}};
    const double cellWidth = g.legendRect.width() / 4;
    const double lineHeight = g.legendRect.height() / 2;
    p.setFont(chartFont(g.fontSize * 0.9));
    for (size_t i = 0; i < items.size(); ++i) {
        const double x = g.legendRect.left() + cellWidth * static_cast<double>(i % 4);
        const double y = g.legendRect.top() + lineHeight * static_cast<double>(i / 4);
        const double size = u * 0.8;
        drawMarker(p, markerOf(items[i].position), QPointF(x + size, y + lineHeight / 2), size,
                   colourOf(items[i].position));
        p.setPen(Qt::black);
        p.drawText(QRectF(x + size * 2.2, y, cellWidth - size * 2.2, lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                   items[i].text);
    }
    drawBandSample(
        p, QRectF(g.legendRect.left() + cellWidth * 2, g.legendRect.top() + lineHeight, cellWidth * 2, lineHeight), u);
}

void ProfileChart::paintLines(QPainter& p, const Geometry& g) const {
    for (size_t line = 0; line < m_lines.size(); ++line) {
        const LineLook look = lineLook(static_cast<int>(line));
        QPolygonF path;
        for (const Row& row : g.rows)
            path << row.linePoints[line];
        p.setPen(QPen(look.colour, std::max(1.5, g.fontSize * 0.16), look.dash, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(path);
        for (const Row& row : g.rows)
            drawMarker(p, look.marker, row.linePoints[line], row.markerSize * 0.8, look.colour);
    }
}

void ProfileChart::paintLineLegend(QPainter& p, const Geometry& g, double u) const {
    // Each examination's marker on a piece of its line, and its date, in the first line of the
    // legend; what the band means in the second.
    const double cellWidth = g.legendRect.width() / 4;
    const double lineHeight = g.legendRect.height() / 2;
    p.setFont(chartFont(g.fontSize * 0.9));
    for (size_t line = 0; line < m_lines.size(); ++line) {
        const LineLook look = lineLook(static_cast<int>(line));
        const double x = g.legendRect.left() + cellWidth * static_cast<double>(line);
        const double y = g.legendRect.top() + lineHeight / 2;
        p.setPen(QPen(look.colour, std::max(1.5, g.fontSize * 0.16), look.dash));
        p.drawLine(QLineF(x, y, x + u * 2.4, y));
        drawMarker(p, look.marker, QPointF(x + u * 1.2, y), u * 0.8, look.colour);
        p.setPen(Qt::black);
        p.drawText(QRectF(x + u * 2.8, g.legendRect.top(), cellWidth - u * 2.8, lineHeight),
                   Qt::AlignLeft | Qt::AlignVCenter, m_lines[line].name);
    }
    const double y = g.legendRect.top() + lineHeight;
    drawBandSample(p, QRectF(g.legendRect.left(), y, g.legendRect.width(), lineHeight), u);
}

QByteArray ProfileChart::pngBytes(int width, int height) const {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        paint(painter, QRectF(0, 0, width, height));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

void ProfileChart::writePng(const QString& path, int width, int height) const {
    const QByteArray bytes = pngBytes(width, height);
    if (bytes.isEmpty())
        throw UserError::cannotCreate(path);
    TextFile::writeBytes(path, bytes);
}
