#pragma once

#include "model/Comparison.h"
#include "model/EvaluationResult.h"
#include "model/Norms.h"
#include "model/PersonalData.h"

#include <QByteArray>
#include <QColor>
#include <QLineF>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <array>
#include <vector>

class QPainter;

// The profile at a glance: the thirteen measures of the norm table of the child's age bracket
// (GCR percentage, directions E, I, M, reaction types O-D, E-D, N-P, superego indices 1 to 6),
// each as its norm band from Q1 to Q3 with the median marked and the child's percentage as a
// point. The point's colour and shape both follow its class, so the chart reads in
// black and white too. Everything is taken from one EvaluationResult; the same drawing goes to
// the window, the PDF page and the PNG beside the HTML protocol. The chart of a comparison draws
// each evaluated examination as a line through its thirteen values instead, in its own colour,
// marker and dash, the legend naming its date.
class ProfileChart {
public:
    static constexpr int kMeasureCount = 13;
    // The percentage scale runs over the whole possible range.
    static constexpr double kScaleMaximum = 100.0;

    // Where a value stands: the quartile classes of the profile, the GCR classes of the GCR
    // percentage. Each has its own marker shape and colour.
    enum class Position { BelowQ1, Q1Mdn, Median, MdnQ3, AboveQ3, GcrLow, GcrNormal, GcrHigh, GcrExtreme, Unknown };
    enum class Marker { TriangleLeft, Circle, Diamond, Square, TriangleRight, DoubleTriangleRight, TriangleUp };

    // How one examination's line of a comparison is drawn: colour, marker and dash all differ,
    // so the lines part in black and white too.
    struct LineLook {
        QColor colour;
        Marker marker;
        Qt::PenStyle dash;
    };
    // One examination of a comparison: its value on every measure, and what the legend calls it.
    struct Line {
        QString name;
        std::array<double, kMeasureCount> values{};
    };

    // A measure's name as the protocol gives it; "sub" is set in subscript between the two
    // parts ("E" "E-D" " − EE").
    struct Label {
        QString text;
        QString sub;
        QString tail;
        QString plain() const;
    };

    struct Measure {
        Label label;
        QString group;        // the heading above the first measure of a group, else empty
        NormEntry norm;       // Q1, median and Q3 of the bracket
        double value = 0;     // the child's percentage
        QString valueText;    // "43 %"
        QString positionText; // "normál", "<Q1", "Mdn/Q3"
        Position position = Position::Unknown;
        // The GCR row also marks where "extrém magas" begins.
        double extremeLimit = -1;
    };

    struct Row {
        QRectF rect;       // the whole row
        QRectF labelRect;  // the measure's name
        QRectF band;       // Q1 to Q3 on the scale
        QLineF medianMark; // the median across the band
        QPointF point;     // the child's value on the scale
        double markerSize = 0;
        QRectF textRect;    // the value and its position text
        QRectF groupRect;   // the group heading above the row; empty when none
        QLineF extremeMark; // "extrém magas" limit (GCR row only); null when none
        // A comparison's points, one per line in date order; the single point is not drawn then.
        std::vector<QPointF> linePoints;
    };

    struct Geometry {
        QRectF titleRect;
        QRectF subtitleRect;
        QRectF plot; // the scale's 0 % to 100 %, over every row
        std::vector<double> tickX;
        std::vector<int> tickValue;
        QRectF axisTextRect; // the tick labels below the plot
        std::array<Row, kMeasureCount> rows;
        QRectF legendRect;
        double fontSize = 0; // the pixel size of the row texts
        double xFor(double percent) const;
    };

    // The chart of an evaluated examination. The age chooses the norm table; an age outside
    // 7 to 14 raises UserError with the message of the evaluation.
    ProfileChart(const PersonalData& personal, const EvaluationResult& result, QChar decimalSeparator);
    // The chart of a comparison: a line per evaluated examination, on the norms of the bracket of
    // the latest of them. Raises UserError when none of them is evaluated.
    ProfileChart(const Comparison& comparison, QChar decimalSeparator);

    const QString& title() const { return m_title; }
    const QString& subtitle() const { return m_subtitle; }
    const std::array<Measure, kMeasureCount>& measures() const { return m_measures; }
    // A comparison's lines in date order; empty for one examination's chart.
    const std::vector<Line>& lines() const { return m_lines; }

    // Where everything goes inside area, without drawing: the rows from top to bottom in the
    // norm table's order, every length a share of the area so any size gets the same picture.
    Geometry geometry(const QRectF& area) const;
    // Draws the chart into area of any paint device (window, PDF page, image).
    void paint(QPainter& painter, const QRectF& area) const;
    // The chart alone as a PNG file's bytes, on white.
    QByteArray pngBytes(int width, int height) const;
    // Writes pngBytes() atomically; a failure raises UserError ("Cannot create file " + path).
    void writePng(const QString& path, int width, int height) const;

    static Position positionOf(QuartileClass position);
    static Position positionOf(GcrClass position);
    static Marker markerOf(Position position);
    static QColor colourOf(Position position);
    // The look of line 0 to 3 of a comparison.
    static LineLook lineLook(int line);
    // An evaluation's percentages in the order of the measures.
    static std::array<double, kMeasureCount> measureValues(const EvaluationResult& result);
    // The names of the six superego indices, "1.  EE" to "6.  M + II".
    static const std::array<Label, 6>& superegoLabels();
    // "7–8", "9–10", ... for an age inside the norms.
    static QString bracketText(int age);

private:
    void paintLines(QPainter& painter, const Geometry& g) const;
    void paintLegend(QPainter& painter, const Geometry& g, double u) const;
    void paintLineLegend(QPainter& painter, const Geometry& g, double u) const;

    QString m_title;
    QString m_subtitle;
    std::array<Measure, kMeasureCount> m_measures;
    std::vector<Line> m_lines;
};
