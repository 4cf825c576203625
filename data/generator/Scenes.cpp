#include "Scenes.h"

#include "Drawing.h"

#include <QPainter>
#include <QPainterPath>
#include <functional>

using namespace Drawing;

namespace {

const QSize kSize(Scenes::kWidth, Scenes::kHeight);
constexpr double kGround = 376;
constexpr double kFloor = 292;

struct Cast {
    Figure speaker;
    Figure listener;
};

struct Scene {
    const char* words; // UTF-8
    std::function<Cast(QPainter&)> paint;
};

// A few recurring people, varied per scene.
Person child(double x, bool right, QColor shirt, Hair hair = Hair::Short, bool girl = false) {
    Person p;
    p.x = x;
    p.height = girl ? 148 : 152;
    p.facingRight = right;
    p.shirt = shirt;
    p.hair = hair;
    p.skirt = girl;
    p.legs = girl ? QColor(230, 130, 150) : QColor(80, 100, 150);
    return p;
}

Person adult(double x, bool right, QColor shirt, Hair hair, bool woman) {
    Person p;
    p.x = x;
    p.height = 218;
    p.facingRight = right;
    p.shirt = shirt;
    p.hair = hair;
    p.skirt = woman;
    p.legs = woman ? QColor(120, 90, 150) : QColor(70, 75, 90);
    p.hairColour = woman ? QColor(150, 90, 50) : QColor(80, 60, 45);
    return p;
}

Person speaking(Person p) {
    p.mouth = Mouth::Talk;
    return p;
}

const QColor kRed(230, 110, 100);
const QColor kBlue(110, 160, 225);
const QColor kGreen(130, 195, 120);
const QColor kYellow(245, 205, 90);
const QColor kPurple(180, 140, 210);
const QColor kOrange(245, 160, 90);
const QColor kTeal(100, 190, 180);
const QColor kPink(240, 160, 190);
const QColor kWhite(248, 248, 248);
const QColor kGrey(170, 170, 175);

const QColor kWallCream(250, 240, 215);
const QColor kWallBlue(220, 232, 245);
const QColor kWallGreen(225, 240, 215);
const QColor kWallPeach(250, 225, 205);
const QColor kWood(215, 180, 140);
const QColor kTiles(220, 220, 215);

std::vector<Scene> scenes() {
    return {
        // 1. A bigger child keeps the ball.
        {"Ez most már az enyém, nem adom vissza!",
         [](QPainter& p) {
             drawOutdoors(p, kSize, 300);
             drawTree(p, 280, 300, 140);
             Person big = speaking(child(95, true, kRed, Hair::Cap));
             big.height = 182;
             big.arms = Arms::Raise;
             Cast c;
             c.speaker = drawPerson(p, big, kGround);
             drawBall(p, c.speaker.frontHand + QPointF(0, -12), 14, kOrange);
             Person small = child(235, false, kYellow, Hair::Short);
             small.height = 138;
             small.mouth = Mouth::Sad;
             small.arms = Arms::Forward;
             c.listener = drawPerson(p, small, kGround);
             return c;
         }},
        // 2. Mother forbids the friend's birthday party.
        {"Nem mehetsz el Anna születésnapjára.",
         [](QPainter& p) {
             drawRoom(p, kSize, kWallPeach, kWood, kFloor);
             drawWindow(p, QRectF(125, 140, 75, 85));
             Cast c;
             c.speaker = drawPerson(p, speaking(adult(240, false, kPurple, Hair::Long, true)), kGround);
             Person kid = child(85, true, kGreen, Hair::Pigtails, true);
             kid.mouth = Mouth::Sad;
             c.listener = drawPerson(p, kid, kGround);
             p.save();
             p.setPen(outline(1.4));
             p.setBrush(kBlue);
             p.drawRect(QRectF(140, 340, 34, 30));
             p.setBrush(kYellow);
             p.drawRect(QRectF(153, 340, 8, 30));
             p.restore();
             return c;
         }},
        // 3. A toy car broken by accident.
        {"Jaj, véletlenül eltörtem az autódat!",
         [](QPainter& p) {
             drawRoom(p, kSize, kWallBlue, kWood, kFloor);
             drawWindow(p, QRectF(50, 140, 70, 80));
             drawBed(p, 180, 320, kFloor + 30);
             Person sorry = speaking(child(225, false, kGreen, Hair::Curly));
             sorry.arms = Arms::Forward;
             Cast c;
             c.speaker = drawPerson(p, sorry, kGround);
             Person owner = child(80, true, kRed, Hair::Short);
             owner.mouth = Mouth::Sad;
             c.listener = drawPerson(p, owner, kGround);
             drawToyCar(p, QPointF(150, 372), 44, true);
             return c;
         }},
        // 4. Kept in at break for missing homework.
        {"Te most bent maradsz, mert nem írtad meg a leckét.",
         [](QPainter& p) {
             drawRoom(p, kSize, kWallGreen, kWood, kFloor);
             drawBlackboard(p, QRectF(150, 150, 140, 56), QStringLiteral("Házi feladat"));
             Person teacher = speaking(adult(95, true, kBlue, Hair::Bun, true));
             teacher.glasses = true;
             teacher.arms = Arms::Hips;
             Cast c;
             c.speaker = drawPerson(p, teacher, kGround);
             c.listener = drawPerson(p, child(235, false, kOrange, Hair::Short), kGround);
             return c;
         }},
        // 5. The ice cream has run out.
        {"Sajnos elfogyott az eperfagylalt.",
         [](QPainter& p) {
             drawOutdoors(p, kSize, 300);
             p.save();
             p.setRenderHint(QPainter::Antialiasing);
             p.setPen(outline(1.6));
             QPolygonF awning;
             awning << QPointF(20, 150) << QPointF(170, 150) << QPointF(180, 175) << QPointF(10, 175);
             p.setBrush(kPink);
             p.drawPolygon(awning);
             p.setBrush(kWhite);
             for (int i = 0; i < 4; ++i)
                 p.drawRect(QRectF(30 + i * 38, 150, 18, 25));
             p.restore();
             Person seller = speaking(adult(90, true, kWhite, Hair::Cap, false));
             seller.hairColour = kWhite;
             seller.apron = true;
             Cast c;
             c.speaker = drawPerson(p, seller, kGround);
             drawCounter(p, 15, 175, 300, kGround);
             drawIceCreamBox(p, QRectF(30, 280, 130, 22));
             c.listener = drawPerson(p, child(250, false, kYellow, Hair::Long, true), kGround);
             return c;
         }},
        // 6. Water spilt on a drawing.
        {"Bocs, ráborult a víz a rajzodra.",
         [](QPainter& p) {
             drawRoom(p, kSize, kWallCream, kWood, kFloor);
             drawPicture(p, QRectF(40, 150, 60, 48));
             Cast c;
             c.speaker = drawPerson(p, speaking(child(90, true, kTeal, Hair::Short)), kGround);
             Person artist = child(245, false, kPink, Hair::Pigtails, true);
             artist.mouth = Mouth::Sad;
             c.listener = drawPerson(p, artist, kGround);
             drawTable(p, 130, 210, 328, kGround, kWood);
             drawPaper(p, QRectF(140, 308, 40, 16), true);
             drawCup(p, QPointF(195, 324), true);
             return c;
         }},
        // 7. The neighbour's broken window.
        {"Te törted be az ablakomat a labdával!",
         [](QPainter& p) {
             drawOutdoors(p, kSize, 300, false);
             drawHouse(p, QRectF(30, 200, 140, 100), QColor(240, 220, 200));
             drawCrack(p, QPointF(57, 226), 13);
             Person neighbour = speaking(adult(115, true, kGrey, Hair::Bald, false));
             neighbour.glasses = true;
             neighbour.arms = Arms::Point;
             Cast c;
             c.speaker = drawPerson(p, neighbour, kGround);
             c.listener = drawPerson(p, child(250, false, kOrange, Hair::Cap), kGround);
             drawBall(p, QPointF(195, 360), 13, kBlue);
             return c;
         }},
        // 8. Chatting in class.
        {"Már megint beszélgetsz az órán!",
         [](QPainter& p) {
             drawRoom(p, kSize, kWallGreen, kWood, kFloor);
             drawBlackboard(p, QRectF(25, 150, 120, 56), QStringLiteral("3 + 4 = 7"));
             Person teacher = speaking(adult(240, false, QColor(150, 120, 100), Hair::Short, false));
             teacher.glasses = true;
             teacher.arms = Arms::Point;
             Cast c;
             c.speaker = drawPerson(p, teacher, kGround);
             c.listener = drawPerson(p, child(85, true, kYellow, Hair::Curly), kGround);
             drawTable(p, 105, 175, 330, kGround, kWood);
             drawBook(p, QPointF(135, 318), 26, kRed);
             return c;
         }},
        // 9. Left out of a game.
        {"Te nem játszhatsz velünk!",
         [](QPainter& p) {
             drawOutdoors(p, kSize, 300, false);
             drawHouse(p, QRectF(150, 200, 150, 100), QColor(245, 225, 180));
             Person big = speaking(child(90, true, kRed, Hair::Cap));
             big.arms = Arms::Hips;
             Cast c;
             c.speaker = drawPerson(p, big, kGround);
             drawBall(p, QPointF(40, 364), 12, kYellow);
             Person other = child(235, false, kBlue, Hair::Short);
             other.mouth = Mouth::Sad;
             c.listener = drawPerson(p, other, kGround);
             return c;
         }},
        // 10. No zoo: father has to work.
        {"Sajnos nem megyünk az állatkertbe, dolgoznom kell.",
         [](QPainter& p) {
             drawRoom(p, kSize, kWallBlue, kWood, kFloor);
             drawPicture(p, QRectF(125, 140, 70, 55));
             drawLamp(p, 160, 0, 110);
             Cast c;
             c.speaker = drawPerson(p, speaking(adult(235, false, kGreen, Hair::Short, false)), kGround);
             drawBag(p, c.speaker.backHand + QPointF(0, -6), 26, false);
             Person kid = child(90, true, kYellow, Hair::Long, true);
             kid.mouth = Mouth::Sad;
             c.listener = drawPerson(p, kid, kGround);
             return c;
         }},
        // 11. Grandmother dropped the cake.
        {"Jaj, leejtettem a tortát, amit neked sütöttem!",
         [](QPainter& p) {
             drawRoom(p, kSize, kWallCream, kTiles, kFloor);
             drawWindow(p, QRectF(210, 140, 70, 80));
             Person granny = speaking(adult(95, true, kPurple, Hair::Bun, true));
             granny.hairColour = QColor(200, 200, 205);
             granny.glasses = true;
             granny.apron = true;
             granny.arms = Arms::Forward;
             Cast c;
             c.speaker = drawPerson(p, granny, kGround);
             c.listener = drawPerson(p, child(250, false, kGreen, Hair::Curly), kGround);
             p.save();
             p.setRenderHint(QPainter::Antialiasing);
             p.setPen(outline(1.3));
             p.setBrush(QColor(240, 190, 200));
             QPainterPath splat;
             splat.moveTo(150, 372);
             splat.cubicTo(150, 350, 175, 345, 185, 356);
             splat.cubicTo(195, 345, 215, 352, 212, 372);
             splat.closeSubpath();
             p.drawPath(splat);
             p.setBrush(kWhite);
             p.drawEllipse(QPointF(140, 370), 16, 4);
             p.restore();
             return c;
         }},
        // 12. Accused of taking a pen.
        {"Te vetted el a tollamat!",
         [](QPainter& p) {
             drawRoom(p, kSize, kWallGreen, kWood, kFloor);
             drawBlackboard(p, QRectF(90, 150, 140, 50), QStringLiteral("ábécé"));
             Person owner = speaking(child(230, false, kRed, Hair::Short));
             owner.arms = Arms::Point;
             Cast c;
             c.speaker = drawPerson(p, owner, kGround);
             c.listener = drawPerson(p, child(80, true, kBlue, Hair::Pigtails, true), kGround);
             drawTable(p, 115, 190, 330, kGround, kWood);
             drawPencil(p, QPointF(130, 320), 30, -8);
             return c;
         }},
        // 13. Called stupid.
        {"Te buta vagy!",
         [](QPainter& p) {
             drawOutdoors(p, kSize, 300);
             drawTree(p, 45, 300, 140);
             Person mocker = speaking(child(230, false, kPurple, Hair::Curly));
             mocker.arms = Arms::Point;
             Cast c;
             c.speaker = drawPerson(p, mocker, kGround);
             Person kid = child(95, true, kGreen, Hair::Short);
             kid.mouth = Mouth::Sad;
             c.listener = drawPerson(p, kid, kGround);
             return c;
         }},
        // 14. Knocked over by a bicycle; the bag's strap is torn.
        {"Bocs, nem láttalak!",
         [](QPainter& p) {
             drawOutdoors(p, kSize, 300);
             p.fillRect(QRectF(0, 330, 320, 46), QColor(205, 205, 205));
             Person rider = speaking(child(245, false, kBlue, Hair::Cap));
             rider.height = 182;
             Cast c;
             drawBicycle(p, QPointF(205, kGround), 100);
             c.speaker = drawPerson(p, rider, kGround);
             Person kid = child(80, true, kYellow, Hair::Long, true);
             kid.arms = Arms::Forward;
             kid.mouth = Mouth::Sad;
             c.listener = drawPerson(p, kid, kGround);
             drawBag(p, c.listener.frontHand + QPointF(10, -4), 30, true);
             return c;
         }},
        // 15. A kite caught in a tree.
        {"Jaj, elengedtem a sárkányodat!",
         [](QPainter& p) {
             drawOutdoors(p, kSize, 300, false);
             drawTree(p, 160, 300, 165);
             drawKite(p, QPointF(185, 190), 20);
             Person friendKid = speaking(child(75, true, kOrange, Hair::Short));
             friendKid.arms = Arms::Raise;
             Cast c;
             c.speaker = drawPerson(p, friendKid, kGround);
             Person owner = child(250, false, kTeal, Hair::Curly);
             owner.mouth = Mouth::Sad;
             c.listener = drawPerson(p, owner, kGround);
             return c;
         }},
        // 16. At the doctor's.
        {"Most kapsz egy injekciót, egy kicsit csípni fog.",
         [](QPainter& p) {
             drawRoom(p, kSize, QColor(235, 245, 245), kTiles, kFloor);
             p.save();
             p.setRenderHint(QPainter::Antialiasing);
             p.setPen(outline(1.6));
             p.setBrush(kWhite);
             p.drawRect(QRectF(130, 140, 60, 60));
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(220, 60, 60));
             p.drawRect(QRectF(153, 150, 14, 40));
             p.drawRect(QRectF(140, 163, 40, 14));
             p.restore();
             Person doctor = speaking(adult(235, false, kWhite, Hair::Short, false));
             doctor.glasses = true;
             doctor.arms = Arms::Forward;
             Cast c;
             c.speaker = drawPerson(p, doctor, kGround);
             drawSyringe(p, c.speaker.frontHand + QPointF(-34, 0), 34);
             Person patient = child(90, true, kYellow, Hair::Short);
             patient.mouth = Mouth::Sad;
             c.listener = drawPerson(p, patient, kGround);
             return c;
         }},
        // 17. Not enough money for the toy.
        {"Ez a játék többe kerül, nincs elég pénzed.",
         [](QPainter& p) {
             drawRoom(p, kSize, kWallCream, kTiles, kFloor);
             drawShelf(p, QRectF(170, 150, 140, 120));
             Person seller = speaking(adult(245, false, kTeal, Hair::Bun, true));
             seller.apron = true;
             Cast c;
             c.speaker = drawPerson(p, seller, kGround);
             drawCounter(p, 165, 325, 290, kGround);
             drawToyCar(p, QPointF(200, 284), 40, false);
             Person kid = child(90, true, kYellow, Hair::Short);
             kid.arms = Arms::Forward;
             c.listener = drawPerson(p, kid, kGround);
             p.save();
             p.setRenderHint(QPainter::Antialiasing);
             p.setPen(outline(1));
             p.setBrush(QColor(230, 200, 90));
             p.drawEllipse(c.listener.frontHand + QPointF(4, -6), 5, 5);
             p.restore();
             return c;
         }},
        // 18. The teacher cannot find the handed-in exercise book.
        {"Nem találom a füzetedet, biztosan nem adtad be.",
         [](QPainter& p) {
             drawRoom(p, kSize, kWallGreen, kWood, kFloor);
             drawBlackboard(p, QRectF(150, 150, 140, 56), QStringLiteral("Magyar"));
             Person teacher = speaking(adult(95, true, kBlue, Hair::Bun, true));
             teacher.glasses = true;
             Cast c;
             c.speaker = drawPerson(p, teacher, kGround);
             drawTable(p, 130, 200, 330, kGround, kWood);
             drawBook(p, QPointF(150, 318), 22, kGreen);
             drawBook(p, QPointF(178, 316), 22, kYellow);
             c.listener = drawPerson(p, child(250, false, kOrange, Hair::Pigtails, true), kGround);
             return c;
         }},
        // 19. Muddy clothes.
        {"Hogy lett ilyen piszkos a ruhád?",
         [](QPainter& p) {
             drawRoom(p, kSize, kWallPeach, kWood, kFloor);
             drawDoor(p, QRectF(140, 190, 50, 104), QColor(170, 120, 80));
             Person mother = speaking(adult(85, true, kGreen, Hair::Long, true));
             mother.arms = Arms::Hips;
             Cast c;
             c.speaker = drawPerson(p, mother, kGround);
             c.listener = drawPerson(p, child(245, false, kYellow, Hair::Short), kGround);
             drawMud(p, QPointF(245, 285), 14);
             drawMud(p, QPointF(238, 345), 10);
             return c;
         }},
        // 20. Blamed for the goal.
        {"Miattad kaptunk gólt!",
         [](QPainter& p) {
             drawOutdoors(p, kSize, 290, false);
             drawGoal(p, 110, 300);
             Person mate = speaking(child(75, true, kRed, Hair::Short));
             mate.arms = Arms::Point;
             Cast c;
             c.speaker = drawPerson(p, mate, kGround);
             Person keeper = child(250, false, kYellow, Hair::Cap);
             keeper.mouth = Mouth::Sad;
             c.listener = drawPerson(p, keeper, kGround);
             drawBall(p, QPointF(160, 292), 11, kWhite);
             return c;
         }},
        // 21. The big brother spilt the cocoa.
        {"Hoppá, kiborult a kakaód.",
         [](QPainter& p) {
             drawRoom(p, kSize, kWallCream, kTiles, kFloor);
             drawWindow(p, QRectF(130, 140, 70, 80));
             Person brother = speaking(child(235, false, kBlue, Hair::Short));
             brother.height = 185;
             Cast c;
             c.speaker = drawPerson(p, brother, kGround);
             c.listener = drawPerson(p, child(75, true, kPink, Hair::Pigtails, true), kGround);
             drawTable(p, 120, 195, 328, kGround, kWood);
             drawCup(p, QPointF(150, 324), true);
             return c;
         }},
        // 22. Laughed at for the new haircut.
        {"Ha-ha, de vicces a hajad!",
         [](QPainter& p) {
             drawOutdoors(p, kSize, 300, false);
             drawHouse(p, QRectF(30, 190, 130, 110), QColor(230, 215, 190));
             Person mocker = speaking(child(235, false, kGreen, Hair::Cap));
             mocker.mouth = Mouth::Talk;
             mocker.arms = Arms::Point;
             Cast c;
             c.speaker = drawPerson(p, mocker, kGround);
             Person kid = child(85, true, kOrange, Hair::Curly);
             kid.hairColour = QColor(220, 120, 60);
             kid.mouth = Mouth::Sad;
             c.listener = drawPerson(p, kid, kGround);
             return c;
         }},
        // 23. Bedtime before the cartoon ends.
        {"Kapcsold ki a tévét, ideje lefeküdni!",
         [](QPainter& p) {
             drawRoom(p, kSize, QColor(200, 205, 230), kWood, kFloor);
             drawWindow(p, QRectF(30, 140, 60, 70));
             p.save();
             p.setRenderHint(QPainter::Antialiasing);
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(40, 50, 90));
             p.drawRect(QRectF(30, 140, 60, 70));
             p.setBrush(QColor(250, 240, 180));
             p.drawEllipse(QPointF(48, 158), 8, 8);
             p.restore();
             Cast c;
             c.speaker = drawPerson(p, speaking(adult(240, false, kPurple, Hair::Bun, true)), kGround);
             drawTable(p, 110, 190, 330, kGround, kWood);
             drawTv(p, QRectF(120, 282, 60, 40));
             c.listener = drawPerson(p, child(70, true, kYellow, Hair::Curly), kGround);
             return c;
         }},
        // 24. The borrowed book is lost.
        {"Nem találom a könyvedet, amit kölcsönadtál.",
         [](QPainter& p) {
             drawRoom(p, kSize, kWallCream, kWood, kFloor);
             drawBookcase(p, QRectF(215, 150, 90, 140));
             Person borrower = speaking(child(235, false, kPurple, Hair::Long, true));
             borrower.arms = Arms::Cross;
             Cast c;
             c.speaker = drawPerson(p, borrower, kGround);
             c.listener = drawPerson(p, child(80, true, kGreen, Hair::Short), kGround);
             return c;
         }},
    };
}

// Each bubble keeps to its half of the picture and floats a little above its person's head,
// so the tail stays short.
QRectF bubbleBox(const Figure& person, bool leftHalf) {
    const double width = 148;
    const double height = 96;
    const double headTop = person.headCentre.y() - person.headRadius * 1.1;
    const double top = qBound(8.0, headTop - 34 - height, 30.0);
    return QRectF(leftHalf ? 8 : Scenes::kWidth - 8 - width, top, width, height);
}

} // namespace

QImage Scenes::draw(int picture) {
    static const std::vector<Scene> all = scenes();
    const Scene& scene = all.at(static_cast<size_t>(picture - 1));
    QImage image(kSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const Cast cast = scene.paint(p);

    // The bubble on each person's own side; the listener's stays empty for the answer.
    const bool speakerLeft = cast.speaker.headCentre.x() < cast.listener.headCentre.x();
    drawBubble(p, bubbleBox(cast.speaker, speakerLeft), cast.speaker, QString::fromUtf8(scene.words));
    drawBubble(p, bubbleBox(cast.listener, !speakerLeft), cast.listener, QString());

    p.setPen(outline(2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1, 1, kWidth - 2, kHeight - 2));
    drawNumber(p, picture, kSize);
    p.end();
    return image;
}
