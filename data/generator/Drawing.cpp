#include "Drawing.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <QtMath>

namespace Drawing {

namespace {
const QColor kSkin(250, 220, 190);
const QColor kInk(40, 40, 45);

QColor shoeColour() {
    return QColor(70, 55, 50);
}
} // namespace

QPen outline(double width) {
    QPen pen(kInk, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

QFont font(int pixelSize, bool bold) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

namespace {

// A limb drawn as a coloured stroke with a thin dark edge.
void limb(QPainter& p, const QPointF& from, const QPointF& to, double width, const QColor& colour) {
    p.setPen(QPen(kInk, width + 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
}

void hand(QPainter& p, const QPointF& at, double r) {
    p.setPen(outline(1.2));
    p.setBrush(kSkin);
    p.drawEllipse(at, r, r);
}

void drawHair(QPainter& p, const Person& person, const QPointF& c, double r) {
    const double dir = person.facingRight ? 1 : -1;
    p.setPen(outline(1.4));
    p.setBrush(person.hairColour);
    QPainterPath cap;
    switch (person.hair) {
    case Hair::Bald: {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(person.hairColour, r * 0.25, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(c.x() - r * 1.02, c.y() - r * 0.9, r * 2.04, r * 1.8), 150 * 16, 60 * 16);
        p.drawArc(QRectF(c.x() - r * 1.02, c.y() - r * 0.9, r * 2.04, r * 1.8), -30 * 16, 60 * 16);
        return;
    }
    case Hair::Long:
    case Hair::Pigtails:
    case Hair::Bun:
    case Hair::Short:
    case Hair::Curly:
    case Hair::Cap:
        break;
    }
    if (person.hair == Hair::Long) {
        QPainterPath back;
        back.addRoundedRect(QRectF(c.x() - r * 1.12, c.y() - r * 0.6, r * 2.24, r * 2.1), r * 0.6, r * 0.6);
        p.drawPath(back);
    }
    if (person.hair == Hair::Pigtails) {
        for (double side : {-1.0, 1.0}) {
            p.drawEllipse(QPointF(c.x() + side * r * 1.25, c.y() + r * 0.35), r * 0.38, r * 0.62);
            p.setBrush(QColor(230, 80, 110));
            p.drawEllipse(QPointF(c.x() + side * r * 1.05, c.y() - r * 0.15), r * 0.18, r * 0.18);
            p.setBrush(person.hairColour);
        }
    }
    if (person.hair == Hair::Bun)
        p.drawEllipse(QPointF(c.x() - dir * r * 0.55, c.y() - r * 1.05), r * 0.45, r * 0.4);
    if (person.hair == Hair::Curly) {
        for (int i = 0; i < 9; ++i) {
            const double a = qDegreesToRadians(200.0 + i * 17.5);
            p.drawEllipse(QPointF(c.x() + std::cos(a) * r * 0.95, c.y() + std::sin(a) * r * 0.95), r * 0.32, r * 0.32);
        }
        return;
    }
    if (person.hair == Hair::Cap) {
        p.setBrush(person.hairColour);
        cap.moveTo(c.x() - r * 1.02, c.y() - r * 0.15);
        cap.arcTo(QRectF(c.x() - r * 1.02, c.y() - r * 1.08, r * 2.04, r * 1.9), 180, -180);
        cap.closeSubpath();
        p.drawPath(cap);
        QPainterPath peak;
        peak.moveTo(c.x() + dir * r * 0.6, c.y() - r * 0.2);
        peak.quadTo(c.x() + dir * r * 1.7, c.y() - r * 0.25, c.x() + dir * r * 1.55, c.y() - r * 0.05);
        peak.lineTo(c.x() + dir * r * 0.6, c.y() - r * 0.05);
        p.drawPath(peak);
        return;
    }
    // Short, long, pigtails and bun share the fringe over the forehead.
    cap.moveTo(c.x() - r * 1.05, c.y() + r * 0.05);
    cap.arcTo(QRectF(c.x() - r * 1.08, c.y() - r * 1.12, r * 2.16, r * 2.1), 185, -190);
    cap.quadTo(c.x() + dir * r * 0.3, c.y() - r * 0.42, c.x() - dir * r * 0.6, c.y() - r * 0.45);
    cap.closeSubpath();
    p.drawPath(cap);
}

void drawFace(QPainter& p, const Person& person, const QPointF& c, double r) {
    const double dir = person.facingRight ? 1 : -1;
    const QPointF eye1(c.x() + dir * r * 0.12, c.y() + r * 0.08);
    const QPointF eye2(c.x() + dir * r * 0.58, c.y() + r * 0.08);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawEllipse(eye1, r * 0.1, r * 0.13);
    p.drawEllipse(eye2, r * 0.1, r * 0.13);
    if (person.glasses) {
        p.setPen(outline(1.2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(eye1, r * 0.25, r * 0.22);
        p.drawEllipse(eye2, r * 0.25, r * 0.22);
    }
    // Cheek and nose.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(245, 170, 160, 140));
    p.drawEllipse(QPointF(c.x() + dir * r * 0.02, c.y() + r * 0.4), r * 0.18, r * 0.12);
    p.setPen(outline(1.2));
    p.setBrush(Qt::NoBrush);
    QPainterPath nose;
    nose.moveTo(c.x() + dir * r * 0.85, c.y() + r * 0.05);
    nose.quadTo(c.x() + dir * r * 1.08, c.y() + r * 0.25, c.x() + dir * r * 0.86, c.y() + r * 0.3);
    p.drawPath(nose);
    const QPointF m(c.x() + dir * r * 0.52, c.y() + r * 0.58);
    switch (person.mouth) {
    case Mouth::Talk:
        p.setBrush(QColor(170, 60, 60));
        p.drawEllipse(m, r * 0.16, r * 0.13);
        break;
    case Mouth::Smile:
        p.drawArc(QRectF(m.x() - r * 0.25, m.y() - r * 0.22, r * 0.5, r * 0.3), 200 * 16, 140 * 16);
        break;
    case Mouth::Flat:
        p.drawLine(QPointF(m.x() - r * 0.17, m.y()), QPointF(m.x() + r * 0.17, m.y()));
        break;
    case Mouth::Sad:
        p.drawArc(QRectF(m.x() - r * 0.22, m.y(), r * 0.44, r * 0.3), 20 * 16, 140 * 16);
        break;
    }
}

} // namespace

Figure drawPerson(QPainter& p, const Person& person, double groundY) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const bool child = person.height < 180;
    const double r = person.height * (child ? 0.105 : 0.085);
    const double dir = person.facingRight ? 1 : -1;
    const double x = person.x;
    const QPointF head(x, groundY - person.height + r);
    const double shoulderY = head.y() + r + r * 0.3;
    const double hipY = shoulderY + person.height * (child ? 0.3 : 0.33);
    const double shoulderHalf = r * (child ? 0.95 : 1.05);
    const double hipHalf = r * 0.85;
    const double legWidth = r * 0.5;
    const double armWidth = r * 0.42;

    // Legs and shoes.
    for (double side : {-1.0, 1.0}) {
        const QPointF hip(x + side * hipHalf * 0.5, hipY - 2);
        const QPointF foot(x + side * hipHalf * 0.55, groundY - r * 0.22);
        limb(p, hip, foot, legWidth, person.skirt ? kSkin : person.legs);
        p.setPen(outline(1.2));
        p.setBrush(shoeColour());
        p.drawEllipse(QRectF(foot.x() - r * 0.3 + dir * r * 0.12, groundY - r * 0.3, r * 0.62, r * 0.3));
    }

    // Arms behind the body first: the back arm.
    const QPointF backShoulder(x - dir * shoulderHalf * 0.85, shoulderY + r * 0.2);
    const QPointF frontShoulder(x + dir * shoulderHalf * 0.85, shoulderY + r * 0.2);
    const double armLength = person.height * (child ? 0.3 : 0.32);
    QPointF backHand(backShoulder.x() - dir * r * 0.3, backShoulder.y() + armLength);
    QPointF frontHand(frontShoulder.x() + dir * r * 0.3, frontShoulder.y() + armLength);
    switch (person.arms) {
    case Arms::Down:
        break;
    case Arms::Point:
        frontHand = QPointF(frontShoulder.x() + dir * armLength * 0.95, frontShoulder.y() - armLength * 0.2);
        break;
    case Arms::Raise:
        frontHand = QPointF(frontShoulder.x() + dir * armLength * 0.35, frontShoulder.y() - armLength * 0.9);
        break;
    case Arms::Forward:
        frontHand = QPointF(frontShoulder.x() + dir * armLength * 0.8, frontShoulder.y() + armLength * 0.45);
        backHand = QPointF(backShoulder.x() + dir * armLength * 0.9, backShoulder.y() + armLength * 0.5);
        break;
    case Arms::Hips:
        frontHand = QPointF(frontShoulder.x() + dir * r * 0.7, hipY - r * 0.3);
        backHand = QPointF(backShoulder.x() - dir * r * 0.7, hipY - r * 0.3);
        break;
    case Arms::Cross:
        frontHand = QPointF(x - dir * r * 0.4, shoulderY + armLength * 0.45);
        backHand = QPointF(x + dir * r * 0.5, shoulderY + armLength * 0.5);
        break;
    }
    const bool backInFront = person.arms == Arms::Cross || person.arms == Arms::Forward;
    if (!backInFront) {
        limb(p, backShoulder, backHand, armWidth, person.shirt.darker(115));
        hand(p, backHand, r * 0.24);
    }

    // Body: a shirt, and a skirt or an apron where they belong.
    QPainterPath body;
    body.moveTo(x - shoulderHalf, shoulderY + r * 0.25);
    body.quadTo(x - shoulderHalf, shoulderY - r * 0.05, x - shoulderHalf * 0.6, shoulderY - r * 0.05);
    body.lineTo(x + shoulderHalf * 0.6, shoulderY - r * 0.05);
    body.quadTo(x + shoulderHalf, shoulderY - r * 0.05, x + shoulderHalf, shoulderY + r * 0.25);
    body.lineTo(x + hipHalf, hipY);
    body.lineTo(x - hipHalf, hipY);
    body.closeSubpath();
    p.setPen(outline());
    p.setBrush(person.shirt);
    p.drawPath(body);
    if (person.skirt) {
        QPainterPath skirt;
        skirt.moveTo(x - hipHalf, hipY - r * 0.4);
        skirt.lineTo(x + hipHalf, hipY - r * 0.4);
        skirt.lineTo(x + hipHalf * 1.6, hipY + (groundY - hipY) * 0.42);
        skirt.lineTo(x - hipHalf * 1.6, hipY + (groundY - hipY) * 0.42);
        skirt.closeSubpath();
        p.setBrush(person.legs);
        p.drawPath(skirt);
    } else {
        p.setBrush(person.legs);
        p.drawRect(QRectF(x - hipHalf, hipY - r * 0.25, hipHalf * 2, r * 0.45));
    }
    if (person.apron) {
        p.setBrush(QColor(250, 250, 245));
        p.drawRoundedRect(QRectF(x - hipHalf * 0.75, shoulderY + r * 0.5, hipHalf * 1.5, (hipY - shoulderY) * 1.15), 3,
                          3);
    }

    // Neck and head.
    p.setPen(outline(1.2));
    p.setBrush(kSkin);
    p.drawRect(QRectF(x - r * 0.22, head.y() + r * 0.8, r * 0.44, r * 0.55));
    if (person.hair == Hair::Long)
        drawHair(p, person, head, r);
    p.setPen(outline());
    p.setBrush(kSkin);
    p.drawEllipse(head, r, r * 1.05);
    Person front = person;
    if (person.hair == Hair::Long)
        front.hair = Hair::Short;
    drawHair(p, front, head, r);
    drawFace(p, person, head, r);
    // An ear on the side turned away from the viewer's line of sight.
    p.setPen(outline(1.2));
    p.setBrush(kSkin);
    if (person.hair != Hair::Long && person.hair != Hair::Curly)
        p.drawEllipse(QPointF(x - dir * r * 0.78, head.y() + r * 0.15), r * 0.15, r * 0.22);

    if (backInFront) {
        limb(p, backShoulder, backHand, armWidth, person.shirt.darker(108));
        hand(p, backHand, r * 0.24);
    }
    limb(p, frontShoulder, frontHand, armWidth, person.shirt);
    hand(p, frontHand, r * 0.24);
    p.restore();

    Figure figure;
    figure.headCentre = head;
    figure.headRadius = r;
    figure.frontHand = frontHand;
    figure.backHand = backHand;
    return figure;
}

void drawBubble(QPainter& p, const QRectF& box, const Figure& speaker, const QString& text) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    // The tail starts under the bubble and stops a little above the head.
    const QPointF target(speaker.headCentre.x(), speaker.headCentre.y() - speaker.headRadius * 1.35);
    const double baseX = qBound(box.left() + box.width() * 0.25, target.x(), box.right() - box.width() * 0.25);
    QPainterPath shape;
    shape.addRoundedRect(box, box.height() * 0.42, box.height() * 0.42);
    QPainterPath tail;
    tail.moveTo(baseX - 12, box.bottom() - 8);
    tail.lineTo(target);
    tail.lineTo(baseX + 12, box.bottom() - 8);
    tail.closeSubpath();
    shape = shape.united(tail);
    p.setPen(outline(1.8));
    p.setBrush(QColor(255, 255, 255));
    p.drawPath(shape);
    if (!text.isEmpty()) {
        p.setPen(kInk);
        QFont f = font(13);
        const QRectF inner = box.adjusted(12, 6, -12, -6);
        // Shrink the type until the sentence fits the bubble.
        for (int size = 13; size >= 9; --size) {
            f.setPixelSize(size);
            const QRectF need = QFontMetricsF(f).boundingRect(inner, Qt::AlignCenter | Qt::TextWordWrap, text);
            if (need.height() <= inner.height() && need.width() <= inner.width())
                break;
        }
        p.setFont(f);
        p.drawText(inner, Qt::AlignCenter | Qt::TextWordWrap, text);
    }
    p.restore();
}

void drawNumber(QPainter& p, int number, const QSize& size) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box(size.width() - 40, size.height() - 28, 34, 22);
    p.setPen(outline(1.2));
    p.setBrush(QColor(255, 255, 255, 235));
    p.drawRoundedRect(box, 5, 5);
    p.setFont(font(14, true));
    p.drawText(box, Qt::AlignCenter, QString::number(number) + QLatin1Char('.'));
    p.restore();
}

void drawRoom(QPainter& p, const QSize& size, const QColor& wall, const QColor& floor, double floorY) {
    p.save();
    QLinearGradient wallShade(0, 0, 0, floorY);
    wallShade.setColorAt(0, wall.lighter(108));
    wallShade.setColorAt(1, wall);
    p.fillRect(QRectF(0, 0, size.width(), floorY), wallShade);
    p.fillRect(QRectF(0, floorY, size.width(), size.height() - floorY), floor);
    p.setPen(QPen(floor.darker(115), 1));
    for (double y = floorY + 12; y < size.height(); y += 16)
        p.drawLine(QPointF(0, y), QPointF(size.width(), y));
    p.setPen(outline(1.4));
    p.setBrush(wall.darker(120));
    p.drawRect(QRectF(-2, floorY - 8, size.width() + 4, 8));
    p.restore();
}

void drawOutdoors(QPainter& p, const QSize& size, double groundY, bool sun) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, groundY);
    sky.setColorAt(0, QColor(170, 210, 245));
    sky.setColorAt(1, QColor(225, 240, 250));
    p.fillRect(QRectF(0, 0, size.width(), groundY), sky);
    if (sun) {
        p.setPen(QPen(QColor(240, 190, 60), 2));
        p.setBrush(QColor(255, 225, 110));
        p.drawEllipse(QPointF(size.width() / 2.0, 128), 16, 16);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 220));
    for (const QPointF& c : {QPointF(40, 140), QPointF(270, 125)}) {
        p.drawEllipse(c, 22, 10);
        p.drawEllipse(c + QPointF(14, -6), 14, 10);
        p.drawEllipse(c + QPointF(-14, -3), 12, 8);
    }
    p.fillRect(QRectF(0, groundY, size.width(), size.height() - groundY), QColor(160, 205, 120));
    p.setPen(QPen(QColor(110, 160, 80), 1.2));
    for (int i = 0; i < 30; ++i) {
        const double gx = (i * 53) % size.width();
        const double gy = groundY + 8 + (i * 37) % int(size.height() - groundY - 10);
        p.drawLine(QPointF(gx, gy), QPointF(gx - 2, gy - 5));
        p.drawLine(QPointF(gx, gy), QPointF(gx + 2, gy - 5));
    }
    p.setPen(outline(1.4));
    p.drawLine(QPointF(0, groundY), QPointF(size.width(), groundY));
    p.restore();
}

void drawWindow(QPainter& p, const QRectF& r, bool rain) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(outline(2));
    p.setBrush(rain ? QColor(170, 180, 195) : QColor(200, 230, 250));
    p.drawRect(r);
    if (rain) {
        p.setPen(QPen(QColor(90, 110, 160), 1.3));
        for (int i = 0; i < 18; ++i) {
            const double x = r.left() + 6 + (i * 23) % int(r.width() - 10);
            const double y = r.top() + 6 + (i * 31) % int(r.height() - 16);
            p.drawLine(QPointF(x, y), QPointF(x - 3, y + 9));
        }
        p.setPen(outline(1.2));
        p.setBrush(QColor(140, 150, 170));
        p.drawEllipse(QPointF(r.center().x(), r.top() + 10), r.width() * 0.3, 9);
    }
    p.setPen(outline(2));
    p.drawLine(QPointF(r.center().x(), r.top()), QPointF(r.center().x(), r.bottom()));
    p.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
    p.setBrush(QColor(235, 120, 110));
    p.drawRect(QRectF(r.left() - 10, r.top() - 4, 12, r.height() + 10));
    p.drawRect(QRectF(r.right() - 2, r.top() - 4, 12, r.height() + 10));
    p.restore();
}

void drawTable(QPainter& p, double left, double right, double topY, double groundY, const QColor& colour) {
    p.save();
    p.setPen(outline(1.6));
    p.setBrush(colour.darker(115));
    p.drawRect(QRectF(left + 8, topY, 8, groundY - topY));
    p.drawRect(QRectF(right - 16, topY, 8, groundY - topY));
    p.setBrush(colour);
    p.drawRect(QRectF(left, topY - 4, right - left, 10));
    p.restore();
}

void drawCounter(QPainter& p, double left, double right, double topY, double groundY) {
    p.save();
    p.setPen(outline(1.6));
    p.setBrush(QColor(200, 150, 100));
    p.drawRect(QRectF(left, topY, right - left, groundY - topY));
    p.setBrush(QColor(225, 180, 125));
    p.drawRect(QRectF(left - 4, topY - 6, right - left + 8, 8));
    p.setPen(QPen(QColor(150, 105, 70), 1.2));
    for (double x = left + 14; x < right - 6; x += 22)
        p.drawLine(QPointF(x, topY + 10), QPointF(x, groundY - 6));
    p.restore();
}

void drawShelf(QPainter& p, const QRectF& r) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QColor colours[] = {QColor(230, 110, 100), QColor(250, 200, 80), QColor(120, 190, 120), QColor(120, 160, 230),
                              QColor(220, 140, 210)};
    const int rows = 3;
    const double rowH = r.height() / rows;
    for (int row = 0; row < rows; ++row) {
        const double base = r.top() + (row + 1) * rowH;
        int k = row;
        for (double x = r.left() + 6; x + 14 < r.right(); x += 19, ++k) {
            p.setPen(outline(1.1));
            p.setBrush(colours[k % 5]);
            p.drawRoundedRect(QRectF(x, base - rowH * 0.62, 14, rowH * 0.62 - 2), 3, 3);
            p.setBrush(QColor(250, 250, 250));
            p.drawRect(QRectF(x + 2, base - rowH * 0.45, 10, rowH * 0.2));
        }
        p.setPen(outline(1.6));
        p.setBrush(QColor(170, 120, 80));
        p.drawRect(QRectF(r.left(), base - 2, r.width(), 5));
    }
    p.restore();
}

void drawBlackboard(QPainter& p, const QRectF& r, const QString& writing) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(outline(2));
    p.setBrush(QColor(160, 120, 80));
    p.drawRect(r.adjusted(-5, -5, 5, 5));
    p.setBrush(QColor(50, 90, 70));
    p.drawRect(r);
    p.setPen(QColor(240, 240, 230));
    QFont f = font(15);
    f.setItalic(true);
    p.setFont(f);
    p.drawText(r.adjusted(8, 4, -8, -4), Qt::AlignCenter | Qt::TextWordWrap, writing);
    p.restore();
}

void drawTree(QPainter& p, double x, double groundY, double height) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(outline(1.6));
    p.setBrush(QColor(140, 100, 70));
    p.drawRect(QRectF(x - 8, groundY - height * 0.45, 16, height * 0.45));
    p.setBrush(QColor(120, 180, 100));
    const double top = groundY - height;
    p.drawEllipse(QPointF(x, top + height * 0.3), height * 0.3, height * 0.28);
    p.drawEllipse(QPointF(x - height * 0.2, top + height * 0.45), height * 0.2, height * 0.17);
    p.drawEllipse(QPointF(x + height * 0.2, top + height * 0.45), height * 0.2, height * 0.17);
    p.restore();
}

void drawBall(QPainter& p, const QPointF& centre, double radius, const QColor& colour) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(outline(1.4));
    p.setBrush(colour);
    p.drawEllipse(centre, radius, radius);
    p.setBrush(QColor(255, 255, 255));
    p.drawChord(QRectF(centre.x() - radius, centre.y() - radius, radius * 2, radius * 2), 30 * 16, 120 * 16);
    p.restore();
}

void drawDoor(QPainter& p, const QRectF& r, const QColor& colour) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(outline(1.8));
    p.setBrush(colour);
    p.drawRect(r);
    p.setBrush(colour.lighter(115));
    p.drawRect(QRectF(r.left() + 8, r.top() + 10, r.width() - 16, r.height() * 0.35));
    p.drawRect(QRectF(r.left() + 8, r.top() + r.height() * 0.5, r.width() - 16, r.height() * 0.4));
    p.setBrush(QColor(230, 200, 80));
    p.drawEllipse(QPointF(r.right() - 9, r.center().y()), 3.5, 3.5);
    p.restore();
}

void drawHouse(QPainter& p, const QRectF& r, const QColor& wall) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(outline(1.8));
    p.setBrush(wall);
    p.drawRect(r);
    QPolygonF roof;
    roof << QPointF(r.left() - 10, r.top()) << QPointF(r.center().x(), r.top() - r.height() * 0.45)
         << QPointF(r.right() + 10, r.top());
    p.setBrush(QColor(200, 100, 80));
    p.drawPolygon(roof);
    p.restore();
    drawWindow(p, QRectF(r.left() + 18, r.top() + 14, 34, 30));
    drawDoor(p, QRectF(r.right() - 46, r.bottom() - 62, 32, 62), QColor(150, 110, 80));
}

void drawSign(QPainter& p, double x, double groundY, const QString& text) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(outline(1.6));
    p.setBrush(QColor(160, 160, 170));
    p.drawRect(QRectF(x - 3, groundY - 150, 6, 150));
    p.setBrush(QColor(70, 120, 200));
    const QRectF plate(x - 26, groundY - 178, 52, 32);
    p.drawRoundedRect(plate, 5, 5);
    p.setPen(QColor(255, 255, 255));
    p.setFont(font(13, true));
    p.drawText(plate, Qt::AlignCenter, text);
    p.restore();
}

void drawCake(QPainter& p, const QPointF& bottomCentre, double width) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const double h = width * 0.45;
    const QRectF body(bottomCentre.x() - width / 2, bottomCentre.y() - h, width, h);
    p.setPen(outline(1.4));
    p.setBrush(QColor(240, 190, 200));
    p.drawRoundedRect(body, 4, 4);
    p.setBrush(QColor(255, 250, 250));
    p.drawRoundedRect(QRectF(body.left(), body.top(), width, h * 0.3), 4, 4);
    for (int i = 0; i < 3; ++i) {
        const double cx = body.left() + width * (0.25 + 0.25 * i);
        p.setBrush(QColor(120, 170, 230));
        p.drawRect(QRectF(cx - 2, body.top() - 14, 4, 14));
        p.setBrush(QColor(255, 200, 60));
        p.drawEllipse(QPointF(cx, body.top() - 18), 2.5, 4);
    }
    p.restore();
}

void drawDog(QPainter& p, const QPointF& feet, bool facingRight) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const double dir = facingRight ? 1 : -1;
    const QColor fur(200, 160, 110);
    p.setPen(outline(1.5));
    p.setBrush(fur);
    for (double lx : {-18.0, -10.0, 10.0, 18.0})
        p.drawRect(QRectF(feet.x() + lx - 3, feet.y() - 22, 6, 22));
    p.drawEllipse(QRectF(feet.x() - 28, feet.y() - 42, 56, 26));
    QPainterPath tail;
    tail.moveTo(feet.x() - dir * 26, feet.y() - 34);
    tail.quadTo(feet.x() - dir * 40, feet.y() - 44, feet.x() - dir * 36, feet.y() - 56);
    p.setBrush(Qt::NoBrush);
    p.drawPath(tail);
    p.setBrush(fur);
    const QPointF head(feet.x() + dir * 30, feet.y() - 50);
    p.drawEllipse(head, 14, 12);
    p.drawEllipse(QPointF(head.x() + dir * 12, head.y() + 4), 8, 6);
    p.setBrush(fur.darker(140));
    p.drawEllipse(QPointF(head.x() - dir * 6, head.y() + 2), 5, 10);
    p.setBrush(QColor(40, 40, 45));
    p.drawEllipse(QPointF(head.x() + dir * 19, head.y() + 2), 2.5, 2.5);
    p.drawEllipse(QPointF(head.x() + dir * 4, head.y() - 3), 2, 2);
    p.restore();
}

void drawBook(QPainter& p, const QPointF& centre, double width, const QColor& colour) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(outline(1.3));
    p.setBrush(colour);
    p.drawRect(QRectF(centre.x() - width / 2, centre.y() - width * 0.35, width, width * 0.7));
    p.setBrush(QColor(250, 250, 240));
    p.drawRect(QRectF(centre.x() - width / 2 + 3, centre.y() - width * 0.35 + 3, width - 6, width * 0.18));
    p.restore();
}

void drawTv(QPainter& p, const QRectF& r) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(outline(1.8));
    p.setBrush(QColor(80, 80, 90));
    p.drawRoundedRect(r, 6, 6);
    p.setBrush(QColor(150, 200, 240));
    p.drawRoundedRect(r.adjusted(6, 6, -6, -6), 4, 4);
    p.setBrush(QColor(255, 220, 100));
    p.drawEllipse(QPointF(r.center().x() - 10, r.center().y()), 8, 8);
    p.setBrush(QColor(120, 180, 100));
    p.drawRect(QRectF(r.left() + 6, r.bottom() - 18, r.width() - 12, 12));
    p.setBrush(QColor(80, 80, 90));
    p.drawRect(QRectF(r.center().x() - 12, r.bottom(), 24, 8));
    p.restore();
}

void drawSwing(QPainter& p, double x, double groundY) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(120, 90, 60), 6, Qt::SolidLine, Qt::RoundCap));
    const double top = groundY - 170;
    p.drawLine(QPointF(x - 60, groundY), QPointF(x - 45, top));
    p.drawLine(QPointF(x + 60, groundY), QPointF(x + 45, top));
    p.drawLine(QPointF(x - 50, top), QPointF(x + 50, top));
    p.setPen(outline(1.4));
    p.drawLine(QPointF(x - 22, top), QPointF(x - 22, groundY - 62));
    p.drawLine(QPointF(x + 22, top), QPointF(x + 22, groundY - 62));
    p.setBrush(QColor(230, 120, 90));
    p.drawRect(QRectF(x - 28, groundY - 64, 56, 7));
    p.restore();
}

void drawBench(QPainter& p, double left, double right, double groundY) {
    p.save();
    p.setPen(outline(1.5));
    p.setBrush(QColor(150, 110, 70));
    p.drawRect(QRectF(left + 6, groundY - 42, 6, 42));
    p.drawRect(QRectF(right - 12, groundY - 42, 6, 42));
    p.setBrush(QColor(190, 140, 90));
    p.drawRect(QRectF(left, groundY - 46, right - left, 8));
    p.drawRect(QRectF(left, groundY - 78, right - left, 8));
    p.drawRect(QRectF(left, groundY - 64, right - left, 8));
    p.restore();
}

void drawBookcase(QPainter& p, const QRectF& r) {
    p.save();
    p.setPen(outline(1.8));
    p.setBrush(QColor(170, 120, 80));
    p.drawRect(r);
    const QColor colours[] = {QColor(200, 80, 80), QColor(80, 130, 200), QColor(230, 190, 80), QColor(100, 170, 110),
                              QColor(160, 100, 170)};
    const int rows = 4;
    const double rowH = (r.height() - 8) / rows;
    for (int row = 0; row < rows; ++row) {
        const double base = r.top() + 4 + (row + 1) * rowH;
        int k = row * 2;
        p.setPen(outline(1));
        for (double x = r.left() + 5; x + 8 < r.right() - 4; x += 9, ++k) {
            const double h = rowH * (0.62 + 0.08 * (k % 3));
            p.setBrush(colours[k % 5]);
            p.drawRect(QRectF(x, base - h, 8, h - 2));
        }
        p.setPen(outline(1.6));
        p.drawLine(QPointF(r.left(), base), QPointF(r.right(), base));
    }
    p.restore();
}

void drawPicture(QPainter& p, const QRectF& r) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(outline(1.6));
    p.setBrush(QColor(200, 160, 90));
    p.drawRect(r);
    p.setBrush(QColor(210, 235, 250));
    const QRectF inner = r.adjusted(5, 5, -5, -5);
    p.drawRect(inner);
    p.setPen(outline(1.1));
    p.setBrush(QColor(140, 190, 120));
    QPolygonF hills;
    hills << inner.bottomLeft() << QPointF(inner.left() + inner.width() * 0.35, inner.top() + inner.height() * 0.45)
          << QPointF(inner.left() + inner.width() * 0.6, inner.top() + inner.height() * 0.7)
          << QPointF(inner.left() + inner.width() * 0.8, inner.top() + inner.height() * 0.4) << inner.bottomRight();
    p.drawPolygon(hills);
    p.restore();
}

void drawLamp(QPainter& p, double x, double ceilingY, double length) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(outline(1.4));
    p.drawLine(QPointF(x, ceilingY), QPointF(x, ceilingY + length));
    p.setBrush(QColor(250, 220, 140));
    QPolygonF shade;
    shade << QPointF(x - 8, ceilingY + length) << QPointF(x + 8, ceilingY + length)
          << QPointF(x + 22, ceilingY + length + 18) << QPointF(x - 22, ceilingY + length + 18);
    p.drawPolygon(shade);
    p.restore();
}

void drawIceCreamBox(QPainter& p, const QRectF& r) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(outline(1.6));
    p.setBrush(QColor(220, 235, 245));
    p.drawRect(r);
    const QColor scoops[] = {QColor(250, 240, 200), QColor(240, 170, 190), QColor(180, 220, 160)};
    const double w = r.width() / 4;
    for (int i = 0; i < 4; ++i) {
        const QRectF tray(r.left() + i * w + 3, r.top() + 6, w - 6, r.height() - 12);
        p.setBrush(QColor(245, 245, 245));
        p.drawRect(tray);
        if (i < 3) {
            p.setBrush(scoops[i]);
            p.drawEllipse(QPointF(tray.center().x(), tray.center().y() + 2), tray.width() * 0.38, tray.height() * 0.3);
        }
    }
    p.restore();
}

void drawGoal(QPainter& p, double left, double groundY) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(200, 200, 205), 1));
    for (double x = left + 8; x < left + 96; x += 10)
        p.drawLine(QPointF(x, groundY - 84), QPointF(x, groundY));
    for (double y = groundY - 76; y < groundY; y += 10)
        p.drawLine(QPointF(left, y), QPointF(left + 100, y));
    p.setPen(QPen(QColor(250, 250, 250), 5));
    p.drawLine(QPointF(left, groundY), QPointF(left, groundY - 86));
    p.drawLine(QPointF(left, groundY - 86), QPointF(left + 100, groundY - 86));
    p.drawLine(QPointF(left + 100, groundY - 86), QPointF(left + 100, groundY));
    p.setPen(outline(1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(left - 2.5, groundY - 88.5, 105, 88.5));
    p.restore();
}

void drawBed(QPainter& p, double left, double right, double groundY) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(outline(1.6));
    p.setBrush(QColor(170, 120, 80));
    p.drawRect(QRectF(left, groundY - 80, 10, 80));
    p.drawRect(QRectF(left, groundY - 40, right - left, 22));
    p.setBrush(QColor(140, 180, 230));
    p.drawRoundedRect(QRectF(left + 10, groundY - 54, right - left - 14, 18), 6, 6);
    p.setBrush(QColor(255, 255, 255));
    p.drawRoundedRect(QRectF(left + 12, groundY - 64, 34, 14), 6, 6);
    p.restore();
}

void drawPencil(QPainter& p, const QPointF& tip, double length, double angleDegrees) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(tip);
    p.rotate(angleDegrees);
    p.setPen(outline(1.1));
    p.setBrush(QColor(250, 200, 60));
    p.drawRect(QRectF(8, -3, length - 8, 6));
    QPolygonF point;
    point << QPointF(0, 0) << QPointF(8, -3) << QPointF(8, 3);
    p.setBrush(QColor(240, 215, 170));
    p.drawPolygon(point);
    p.setBrush(QColor(240, 140, 150));
    p.drawRect(QRectF(length, -3, 5, 6));
    p.restore();
}

void drawGlasses(QPainter& p, const QPointF& centre, double width, bool broken) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(outline(1.6));
    p.setBrush(QColor(220, 235, 250));
    const double r = width * 0.22;
    p.drawEllipse(QPointF(centre.x() - width * 0.27, centre.y()), r, r * 0.85);
    p.drawEllipse(QPointF(centre.x() + width * 0.27, centre.y()), r, r * 0.85);
    p.drawLine(QPointF(centre.x() - width * 0.06, centre.y()), QPointF(centre.x() + width * 0.06, centre.y()));
    if (broken) {
        const QPointF c(centre.x() + width * 0.27, centre.y());
        p.setPen(outline(1));
        p.drawLine(c + QPointF(-r * 0.8, -r * 0.3), c + QPointF(0, 0));
        p.drawLine(c, c + QPointF(r * 0.5, r * 0.6));
        p.drawLine(c, c + QPointF(r * 0.6, -r * 0.5));
    }
    p.restore();
}

void drawToyCar(QPainter& p, const QPointF& bottomCentre, double width, bool broken) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const double h = width * 0.3;
    p.setPen(outline(1.4));
    p.setBrush(QColor(220, 70, 70));
    p.drawRoundedRect(QRectF(bottomCentre.x() - width / 2, bottomCentre.y() - h - 6, width, h), 4, 4);
    p.drawRoundedRect(QRectF(bottomCentre.x() - width * 0.25, bottomCentre.y() - h * 1.75 - 6, width * 0.5, h * 0.8), 4,
                      4);
    p.setBrush(QColor(60, 60, 65));
    p.drawEllipse(QPointF(bottomCentre.x() - width * 0.3, bottomCentre.y() - 6), 6, 6);
    if (broken)
        p.drawEllipse(QPointF(bottomCentre.x() + width * 0.62, bottomCentre.y() - 6), 6, 6);
    else
        p.drawEllipse(QPointF(bottomCentre.x() + width * 0.3, bottomCentre.y() - 6), 6, 6);
    p.restore();
}

void drawSyringe(QPainter& p, const QPointF& at, double length) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(outline(1.2));
    p.setBrush(QColor(230, 240, 250));
    p.drawRect(QRectF(at.x(), at.y() - 4, length * 0.6, 8));
    p.drawLine(QPointF(at.x() + length * 0.6, at.y()), QPointF(at.x() + length, at.y()));
    p.drawLine(QPointF(at.x(), at.y()), QPointF(at.x() - length * 0.2, at.y()));
    p.drawLine(QPointF(at.x() - length * 0.2, at.y() - 5), QPointF(at.x() - length * 0.2, at.y() + 5));
    p.restore();
}

} // namespace Drawing
