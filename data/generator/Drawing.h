#pragma once

#include <QColor>
#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <QString>

// Small building blocks of the drawn pictures: people, speech bubbles, rooms and the things
// that stand in them. Everything is outlined in black and softly coloured, like a colouring
// book page, so the pictures stay calm and readable at 320 x 403.
namespace Drawing {

enum class Hair { Short, Long, Bun, Bald, Pigtails, Cap, Curly };
enum class Mouth { Talk, Smile, Flat, Sad };
enum class Arms { Down, Point, Raise, Forward, Hips, Cross };

struct Person {
    double x = 160;      // the point between the feet
    double height = 150; // from the soles to the top of the head
    bool facingRight = true;
    QColor shirt = QColor(120, 170, 220);
    QColor legs = QColor(70, 90, 140);
    QColor hairColour = QColor(110, 70, 40);
    Hair hair = Hair::Short;
    bool skirt = false;
    bool glasses = false;
    bool apron = false;
    Mouth mouth = Mouth::Flat;
    Arms arms = Arms::Down;
};

// Geometry of a drawn person that scenes need to place bubbles and held things.
struct Figure {
    QPointF headCentre;
    double headRadius = 0;
    QPointF frontHand; // the hand on the side the person faces
    QPointF backHand;
};

QPen outline(double width = 1.6);
QFont font(int pixelSize, bool bold = false);

Figure drawPerson(QPainter& p, const Person& person, double groundY);

// A speech bubble whose tail points at the head; an empty text leaves the bubble blank.
void drawBubble(QPainter& p, const QRectF& box, const Figure& speaker, const QString& text);
// The picture number in a small white box in the lower right corner.
void drawNumber(QPainter& p, int number, const QSize& size);

void drawRoom(QPainter& p, const QSize& size, const QColor& wall, const QColor& floor, double floorY);
void drawOutdoors(QPainter& p, const QSize& size, double groundY, bool sun = true);
void drawWindow(QPainter& p, const QRectF& r, bool rain = false);
void drawTable(QPainter& p, double left, double right, double topY, double groundY, const QColor& colour);
void drawCounter(QPainter& p, double left, double right, double topY, double groundY);
void drawShelf(QPainter& p, const QRectF& r);
void drawBlackboard(QPainter& p, const QRectF& r, const QString& writing);
void drawTree(QPainter& p, double x, double groundY, double height);
void drawBall(QPainter& p, const QPointF& centre, double radius, const QColor& colour);
void drawDoor(QPainter& p, const QRectF& r, const QColor& colour);
void drawHouse(QPainter& p, const QRectF& r, const QColor& wall);
void drawSign(QPainter& p, double x, double groundY, const QString& text);
void drawCake(QPainter& p, const QPointF& bottomCentre, double width);
void drawDog(QPainter& p, const QPointF& feet, bool facingRight);
void drawBook(QPainter& p, const QPointF& centre, double width, const QColor& colour);
void drawTv(QPainter& p, const QRectF& r);
void drawSwing(QPainter& p, double x, double groundY);
void drawBench(QPainter& p, double left, double right, double groundY);
void drawBookcase(QPainter& p, const QRectF& r);
void drawPicture(QPainter& p, const QRectF& r);
void drawLamp(QPainter& p, double x, double ceilingY, double length);
void drawIceCreamBox(QPainter& p, const QRectF& r);
void drawGoal(QPainter& p, double left, double groundY);
void drawBed(QPainter& p, double left, double right, double groundY);
void drawPencil(QPainter& p, const QPointF& tip, double length, double angleDegrees);
void drawGlasses(QPainter& p, const QPointF& centre, double width, bool broken);
void drawToyCar(QPainter& p, const QPointF& bottomCentre, double width, bool broken);
void drawSyringe(QPainter& p, const QPointF& at, double length);

} // namespace Drawing
