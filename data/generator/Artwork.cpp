#include "Artwork.h"

#include "Drawing.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <vector>

using namespace Drawing;

namespace {

// Two overlapping speech bubbles, one with three dots: the program's mark.
void drawMark(QPainter& p, const QRectF& r) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const double u = r.width() / 100.0;
    auto bubble = [&](const QRectF& box, bool tailLeft, const QColor& fill) {
        QPainterPath path;
        path.addRoundedRect(box, box.height() * 0.45, box.height() * 0.45);
        QPainterPath tail;
        const double tx = tailLeft ? box.left() + box.width() * 0.25 : box.right() - box.width() * 0.25;
        tail.moveTo(tx - 6 * u, box.bottom() - 4 * u);
        tail.lineTo(tx + (tailLeft ? -10 : 10) * u, box.bottom() + 14 * u);
        tail.lineTo(tx + 6 * u, box.bottom() - 4 * u);
        tail.closeSubpath();
        p.setPen(QPen(QColor(40, 60, 90), 3 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(fill);
        p.drawPath(path.united(tail));
    };
    bubble(QRectF(r.left() + 4 * u, r.top() + 8 * u, 62 * u, 44 * u), true, QColor(250, 215, 120));
    bubble(QRectF(r.left() + 34 * u, r.top() + 38 * u, 62 * u, 44 * u), false, QColor(150, 200, 240));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 60, 90));
    for (int i = 0; i < 3; ++i)
        p.drawEllipse(QPointF(r.left() + (52 + i * 14) * u, r.top() + 60 * u), 4 * u, 4 * u);
    p.restore();
}

struct Piece {
    QString text;
    bool sub;
};

// A formula written in one line, with subscripts where a piece asks for one.
QImage formulaImage(const std::vector<Piece>& pieces) {
    QFont normal = font(18);
    normal.setFamily(QStringLiteral("DejaVu Serif"));
    QFont small = normal;
    small.setPixelSize(12);
    double width = 12;
    for (const Piece& piece : pieces)
        width += QFontMetricsF(piece.sub ? small : normal).horizontalAdvance(piece.text);
    QImage image(int(width + 0.99), 30, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(QColor(20, 30, 60));
    double x = 6;
    for (const Piece& piece : pieces) {
        p.setFont(piece.sub ? small : normal);
        p.drawText(QPointF(x, piece.sub ? 25 : 21), piece.text);
        x += QFontMetricsF(piece.sub ? small : normal).horizontalAdvance(piece.text);
    }
    return image;
}

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

} // namespace

namespace Artwork {

QImage background() {
    QImage image(1366, 768, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient shade(0, 0, 1366, 768);
    shade.setColorAt(0, QColor(236, 243, 250));
    shade.setColorAt(0.6, QColor(214, 229, 243));
    shade.setColorAt(1, QColor(196, 216, 236));
    p.fillRect(image.rect(), shade);
    // Soft circles, like light on paper.
    p.setPen(Qt::NoPen);
    const struct { double x, y, r; } circles[] = {{1150, 180, 260}, {230, 640, 200}, {820, 700, 140}, {1290, 640, 110}};
    for (const auto& c : circles) {
        QRadialGradient glow(QPointF(c.x, c.y), c.r);
        glow.setColorAt(0, QColor(255, 255, 255, 90));
        glow.setColorAt(1, QColor(255, 255, 255, 0));
        p.setBrush(glow);
        p.drawEllipse(QPointF(c.x, c.y), c.r, c.r);
    }
    p.setOpacity(0.22);
    drawMark(p, QRectF(1130, 350, 180, 180));
    p.setOpacity(0.35);
    QFont title = font(64, true);
    p.setFont(title);
    p.setPen(QColor(60, 90, 130));
    p.drawText(QRectF(0, 560, 1320, 90), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("gyermek VKT"));
    p.setFont(font(22));
    p.drawText(QRectF(0, 640, 1320, 40), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Tavrix"));
    p.end();
    return image;
}

QImage noPhoto() {
    QImage image(102, 126, QImage::Format_RGB32);
    image.fill(QColor(236, 236, 238));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 202, 208));
    p.drawEllipse(QPointF(51, 46), 19, 22);
    p.drawRoundedRect(QRectF(20, 72, 62, 60), 26, 26);
    p.setPen(QColor(90, 92, 100));
    p.setFont(font(11, true));
    p.drawText(QRectF(0, 96, 102, 26), Qt::AlignCenter, u("nincs fénykép"));
    p.setPen(QPen(QColor(170, 172, 180), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, 101, 125));
    p.end();
    return image;
}

QImage samplePhoto(int variant) {
    QImage image(204, 252, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient backdrop(0, 0, 0, 252);
    backdrop.setColorAt(0, variant == 0 ? QColor(190, 215, 235) : QColor(230, 215, 190));
    backdrop.setColorAt(1, variant == 0 ? QColor(140, 170, 200) : QColor(200, 175, 145));
    p.fillRect(image.rect(), backdrop);
    const QColor skin(245, 212, 185);
    const QColor hair = variant == 0 ? QColor(110, 70, 40) : QColor(210, 170, 90);
    const QColor shirt = variant == 0 ? QColor(200, 80, 80) : QColor(90, 150, 110);
    // Shoulders and neck.
    p.setPen(Qt::NoPen);
    p.setBrush(shirt);
    p.drawRoundedRect(QRectF(22, 196, 160, 90), 60, 50);
    p.setBrush(skin.darker(108));
    p.drawRect(QRectF(86, 160, 32, 44));
    if (variant == 1) {
        p.setBrush(hair);
        p.drawRoundedRect(QRectF(48, 70, 108, 140), 40, 40);
    }
    QRadialGradient face(QPointF(94, 110), 70);
    face.setColorAt(0, skin.lighter(104));
    face.setColorAt(1, skin.darker(110));
    p.setBrush(face);
    p.drawEllipse(QPointF(102, 118), 46, 56);
    p.setBrush(hair);
    QPainterPath top;
    top.moveTo(54, 112);
    top.cubicTo(50, 50, 150, 40, 152, 110);
    top.cubicTo(130, 78, 90, 70, 54, 112);
    p.drawPath(top);
    p.setBrush(QColor(60, 45, 40));
    p.drawEllipse(QPointF(84, 116), 5, 6);
    p.drawEllipse(QPointF(120, 116), 5, 6);
    p.setPen(QPen(QColor(150, 90, 80), 3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(86, 134, 32, 22), 200 * 16, 140 * 16);
    p.setPen(QPen(skin.darker(130), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(102, 118), QPointF(98, 134));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 150, 140, 90));
    p.drawEllipse(QPointF(74, 136), 9, 6);
    p.drawEllipse(QPointF(130, 136), 9, 6);
    p.end();
    return image;
}

QImage logo() {
    QImage image(330, 64, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawMark(p, QRectF(4, 2, 60, 60));
    p.setPen(QColor(40, 60, 90));
    p.setFont(font(13));
    p.drawText(QRectF(74, 6, 250, 18), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Tavrix"));
    p.setFont(font(26, true));
    p.drawText(QRectF(74, 22, 256, 36), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("gyermek VKT"));
    p.setPen(QPen(QColor(150, 200, 240), 3));
    p.drawLine(QPointF(74, 60), QPointF(320, 60));
    p.end();
    return image;
}

QImage icon(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(236, 243, 250));
    p.drawRoundedRect(QRectF(2, 2, size - 4, size - 4), size * 0.18, size * 0.18);
    drawMark(p, QRectF(size * 0.06, size * 0.04, size * 0.88, size * 0.88));
    p.end();
    return image;
}

QStringList formulaNames() {
    QStringList names;
    for (int i = 1; i <= 6; ++i)
        names << QStringLiteral("fel_") + QString::number(i);
    for (int i = 1; i <= 5; ++i)
        names << QStringLiteral("rau_") + QString::number(i);
    return names;
}

QImage formula(const QString& name) {
    const QString minus = u(" \u2212 ");
    // Superego indices: EE, II, their sum, the E-D cells without them, and M with II.
    // Rauchfleisch: quotients of the direction totals E, I, M and the N-P cells e and i.
    const std::vector<std::pair<QString, std::vector<Piece>>> table = {
        {QStringLiteral("fel_1"), {{QStringLiteral("EE"), false}}},
        {QStringLiteral("fel_2"), {{QStringLiteral("II"), false}}},
        {QStringLiteral("fel_3"), {{QStringLiteral("EE + II"), false}}},
        {QStringLiteral("fel_4"),
         {{QStringLiteral("E"), false}, {QStringLiteral("E-D"), true}, {minus + u("EE"), false}}},
        {QStringLiteral("fel_5"),
         {{QStringLiteral("I"), false}, {QStringLiteral("E-D"), true}, {minus + u("II"), false}}},
        {QStringLiteral("fel_6"), {{QStringLiteral("M + II"), false}}},
        {QStringLiteral("rau_1"), {{QStringLiteral("a = E / I"), false}}},
        {QStringLiteral("rau_2"), {{QStringLiteral("b = E / M"), false}}},
        {QStringLiteral("rau_3"), {{QStringLiteral("c = E / e"), false}}},
        {QStringLiteral("rau_4"), {{u("d = (E") + minus + u("EE) / (EE + II)"), false}}},
        {QStringLiteral("rau_5"), {{QStringLiteral("e = i / e"), false}}},
    };
    for (const auto& entry : table) {
        if (entry.first == name)
            return formulaImage(entry.second);
    }
    return QImage();
}

} // namespace Artwork
