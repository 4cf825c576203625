#include "Scenes.h"

#include "Drawing.h"

#include <QPainter>
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
        // 1. At the sweet shop.
        {"Sajnos ma már nincs több cukorka.",
         [](QPainter& p) {
             drawRoom(p, kSize, kWallCream, kTiles, kFloor);
             drawShelf(p, QRectF(170, 150, 140, 120));
             Person seller = speaking(adult(245, false, kTeal, Hair::Bun, true));
             seller.apron = true;
             Cast c;
             c.speaker = drawPerson(p, seller, kGround);
             drawCounter(p, 165, 325, 290, kGround);
             c.listener = drawPerson(p, child(90, true, kYellow), kGround);
             return c;
         }},
        // 2. A ball hits a child in the park.
        {"Elnézést, véletlen volt!",
         [](QPainter& p) {
             drawOutdoors(p, kSize, 300);
             drawTree(p, 270, 300, 150);
             Cast c;
             c.speaker = drawPerson(p, speaking(child(85, true, kRed, Hair::Cap)), kGround);
             Person hurt = child(225, false, kBlue, Hair::Curly);
             hurt.mouth = Mouth::Sad;
             c.listener = drawPerson(p, hurt, kGround);
             drawBall(p, QPointF(175, 360), 15, kOrange);
             return c;
         }},
        // 3. Mother will not let the child out to play.
        {"Most nem mehetsz ki játszani, előbb írd meg a leckédet!",
         [](QPainter& p) {
             drawRoom(p, kSize, kWallPeach, kWood, kFloor);
             drawWindow(p, QRectF(120, 140, 80, 90));
             Cast c;
             c.speaker = drawPerson(p, speaking(adult(240, false, kPurple, Hair::Long, true)), kGround);
             Person kid = child(85, true, kGreen);
             kid.mouth = Mouth::Sad;
             c.listener = drawPerson(p, kid, kGround);
             drawBall(p, QPointF(40, 362), 13, kRed);
             return c;
         }},
        // 4. The teacher returns a test.
        {"Ez a dolgozatod sajnos nem sikerült jól.",
         [](QPainter& p) {
             drawRoom(p, kSize, kWallGreen, kWood, kFloor);
             drawBlackboard(p, QRectF(150, 150, 140, 56), QStringLiteral("2 + 3 = 5"));
             Person teacher = speaking(adult(95, true, kBlue, Hair::Bun, true));
             teacher.glasses = true;
             teacher.arms = Arms::Forward;
             Cast c;
             c.speaker = drawPerson(p, teacher, kGround);
             p.save();
             p.setPen(outline(1.2));
             p.setBrush(kWhite);
             p.drawRect(QRectF(c.speaker.frontHand.x() - 4, c.speaker.frontHand.y() - 22, 26, 32));
             p.restore();
             c.listener = drawPerson(p, child(235, false, kOrange, Hair::Pigtails, true), kGround);
             return c;
         }},
        // 5. Older children leave a small one out.
        {"Te még kicsi vagy, nem játszhatsz velünk!",
         [](QPainter& p) {
             drawOutdoors(p, kSize, 300, false);
             drawHouse(p, QRectF(150, 200, 150, 100), QColor(245, 225, 180));
             Person big = speaking(child(90, true, kRed, Hair::Cap));
             big.height = 180;
             big.arms = Arms::Hips;
             Cast c;
             c.speaker = drawPerson(p, big, kGround);
             Person small = child(230, false, kYellow, Hair::Short);
             small.height = 120;
             small.mouth = Mouth::Sad;
             c.listener = drawPerson(p, small, kGround);
             return c;
         }},
        // 6. Waiting for the swing.
        {"Most én hintázom, várj a sorodra!",
         [](QPainter& p) {
             drawOutdoors(p, kSize, 300);
             drawSwing(p, 75, 345);
             Person swinger = speaking(child(130, true, kPink, Hair::Pigtails, true));
             swinger.arms = Arms::Hips;
             Cast c;
             c.speaker = drawPerson(p, swinger, kGround);
             c.listener = drawPerson(p, child(245, false, kTeal), kGround);
             return c;
         }},
        // 7. Grandmother finds the cake gone.
        {"Ki ette meg az egész süteményt?",
         [](QPainter& p) {
             drawRoom(p, kSize, kWallCream, kTiles, kFloor);
             drawWindow(p, QRectF(210, 140, 70, 80));
             Person granny = speaking(adult(95, true, kPurple, Hair::Bun, true));
             granny.hairColour = QColor(200, 200, 205);
             granny.glasses = true;
             granny.apron = true;
             granny.arms = Arms::Hips;
             Cast c;
             c.speaker = drawPerson(p, granny, kGround);
             c.listener = drawPerson(p, child(250, false, kGreen, Hair::Curly), kGround);
             drawTable(p, 140, 215, 318, kGround, kWood);
             p.save();
             p.setRenderHint(QPainter::Antialiasing);
             p.setPen(outline(1.2));
             p.setBrush(kWhite);
             p.drawEllipse(QPointF(177, 310), 24, 6);
             p.setBrush(QColor(180, 120, 80));
             p.drawEllipse(QPointF(170, 307), 3, 2);
             p.drawEllipse(QPointF(184, 309), 2, 1.5);
             p.restore();
             return c;
         }},
        // 8. Father calls off the zoo.
        {"Sajnos ma mégsem megyünk el az állatkertbe.",
         [](QPainter& p) {
             drawRoom(p, kSize, kWallBlue, kWood, kFloor);
             drawPicture(p, QRectF(125, 140, 70, 55));
             drawLamp(p, 160, 0, 110);
             Cast c;
             c.speaker = drawPerson(p, speaking(adult(235, false, kGreen, Hair::Short, false)), kGround);
             Person kid = child(90, true, kYellow, Hair::Long, true);
             kid.mouth = Mouth::Sad;
             c.listener = drawPerson(p, kid, kGround);
             return c;
         }},
        // 9. A pencil is not lent.
        {"Nem adom kölcsön a ceruzámat!",
         [](QPainter& p) {
             drawRoom(p, kSize, kWallGreen, kWood, kFloor);
             drawBlackboard(p, QRectF(90, 140, 140, 60), QStringLiteral("ábécé"));
             Person owner = speaking(child(230, false, kRed, Hair::Short));
             owner.arms = Arms::Raise;
             Cast c;
             c.speaker = drawPerson(p, owner, kGround);
             drawPencil(p, c.speaker.frontHand + QPointF(-4, -8), 40, -70);
             Person asker = child(90, true, kBlue, Hair::Pigtails, true);
             asker.arms = Arms::Forward;
             c.listener = drawPerson(p, asker, kGround);
             drawTable(p, 120, 200, 330, kGround, kWood);
             return c;
         }},
        // 10. The neighbour and the ball in the flower bed.
        {"Már megint a virágágyásba rúgtátok a labdát!",
         [](QPainter& p) {
             drawOutdoors(p, kSize, 300, false);
             drawHouse(p, QRectF(30, 200, 140, 100), QColor(240, 220, 200));
             Person neighbour = speaking(adult(100, true, kGrey, Hair::Bald, false));
             neighbour.glasses = true;
             neighbour.arms = Arms::Point;
             Cast c;
             c.speaker = drawPerson(p, neighbour, kGround);
             c.listener = drawPerson(p, child(245, false, kOrange, Hair::Cap), kGround);
             p.save();
             p.setRenderHint(QPainter::Antialiasing);
             p.setPen(outline(1.1));
             for (int i = 0; i < 5; ++i) {
                 const QPointF f(178 + i * 12, 322 + (i % 2) * 6);
                 p.drawLine(f, f + QPointF(0, 20));
                 p.setBrush(i % 2 ? kPink : kYellow);
                 p.drawEllipse(f, 5, 5);
             }
             p.restore();
             drawBall(p, QPointF(200, 350), 13, kBlue);
             return c;
         }},
        // 11. The bus has gone.
        {"Miattad késtük le a buszt!",
         [](QPainter& p) {
             drawOutdoors(p, kSize, 300);
             p.fillRect(QRectF(0, 300, 320, 30), QColor(200, 200, 200));
             drawSign(p, 160, 345, QStringLiteral("BUSZ"));
             Person angry = speaking(child(85, true, kPurple, Hair::Long, true));
             angry.arms = Arms::Hips;
             Cast c;
             c.speaker = drawPerson(p, angry, kGround);
             c.listener = drawPerson(p, child(240, false, kGreen, Hair::Short), kGround);
             return c;
         }},
        // 12. Not invited to the birthday party.
        {"Téged nem hívlak meg a születésnapomra.",
         [](QPainter& p) {
             drawRoom(p, kSize, kWallPeach, kWood, kFloor);
             p.save();
             p.setRenderHint(QPainter::Antialiasing);
             p.setPen(outline(1.2));
             const QColor flags[] = {kRed, kYellow, kBlue, kGreen, kPurple, kOrange};
             for (int i = 0; i < 6; ++i) {
                 QPolygonF flag;
                 const double x = 80 + i * 28;
                 flag << QPointF(x, 130 + (i % 2) * 4) << QPointF(x + 24, 132 + ((i + 1) % 2) * 4)
                      << QPointF(x + 12, 156);
                 p.setBrush(flags[i]);
                 p.drawPolygon(flag);
             }
             p.restore();
             Cast c;
             c.speaker = drawPerson(p, speaking(child(95, true, kPink, Hair::Pigtails, true)), kGround);
             c.listener = drawPerson(p, child(240, false, kBlue, Hair::Curly), kGround);
             drawTable(p, 125, 205, 330, kGround, kWood);
             drawCake(p, QPointF(165, 326), 46);
             return c;
         }},
        // 13. At the doctor's.
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
        // 14. At the library.
        {"Ezt a könyvet már kikölcsönözték.",
         [](QPainter& p) {
             drawRoom(p, kSize, kWallCream, kWood, kFloor);
             drawBookcase(p, QRectF(20, 150, 110, 145));
             Person librarian = speaking(adult(250, false, kGreen, Hair::Long, true));
             librarian.glasses = true;
             Cast c;
             c.speaker = drawPerson(p, librarian, kGround);
             drawCounter(p, 195, 325, 300, kGround);
             drawBook(p, QPointF(230, 288), 26, kRed);
             c.listener = drawPerson(p, child(120, true, kOrange, Hair::Pigtails, true), kGround);
             return c;
         }},
        // 15. The coach leaves a player on the bench.
        {"Ma nem te játszol, a padon maradsz.",
         [](QPainter& p) {
             drawOutdoors(p, kSize, 290, false);
             drawGoal(p, 200, 300);
             Person coach = speaking(adult(95, true, kRed, Hair::Cap, false));
             coach.legs = QColor(60, 60, 120);
             Cast c;
             c.speaker = drawPerson(p, coach, kGround);
             Person player = child(230, false, kBlue, Hair::Short);
             player.mouth = Mouth::Sad;
             c.listener = drawPerson(p, player, kGround);
             drawBall(p, QPointF(280, 362), 12, kWhite);
             return c;
         }},
        // 16. A broken toy car.
        {"Bocsánat, eltörtem az autódat.",
         [](QPainter& p) {
             drawRoom(p, kSize, kWallBlue, kWood, kFloor);
             drawWindow(p, QRectF(50, 140, 70, 80));
             drawBed(p, 180, 320, kFloor + 30);
             Person sorry = speaking(child(225, false, kGreen, Hair::Curly));
             sorry.arms = Arms::Forward;
             Cast c;
             c.speaker = drawPerson(p, sorry, kGround);
             c.listener = drawPerson(p, child(80, true, kRed, Hair::Short), kGround);
             drawToyCar(p, QPointF(150, 372), 44, true);
             return c;
         }},
        // 17. A rainy day indoors.
        {"Esik az eső, ma nem megyünk a játszótérre.",
         [](QPainter& p) {
             drawRoom(p, kSize, kWallGreen, kWood, kFloor);
             drawWindow(p, QRectF(120, 135, 85, 95), true);
             Cast c;
             c.speaker = drawPerson(p, speaking(adult(95, true, kOrange, Hair::Long, true)), kGround);
             Person kid = child(240, false, kPurple, Hair::Short);
             kid.mouth = Mouth::Sad;
             c.listener = drawPerson(p, kid, kGround);
             return c;
         }},
        // 18. No more chocolate ice cream.
        {"Elfogyott a csokoládéfagylalt.",
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
        // 19. A quarrel over a board game.
        {"Te csaltál, ez így nem ér!",
         [](QPainter& p) {
             drawRoom(p, kSize, kWallPeach, kWood, kFloor);
             drawPicture(p, QRectF(130, 140, 60, 50));
             Person angry = speaking(child(80, true, kBlue, Hair::Short));
             angry.arms = Arms::Point;
             Cast c;
             c.speaker = drawPerson(p, angry, kGround);
             c.listener = drawPerson(p, child(245, false, kOrange, Hair::Pigtails, true), kGround);
             drawTable(p, 125, 200, 328, kGround, kWood);
             p.save();
             p.setPen(outline(1.2));
             for (int i = 0; i < 4; ++i) {
                 p.setBrush((i % 2) ? kWhite : kRed);
                 p.drawRect(QRectF(135 + i * 14, 316, 14, 8));
             }
             p.setBrush(kWhite);
             p.drawRect(QRectF(178, 312, 8, 8));
             p.restore();
             return c;
         }},
        // 20. Bedtime instead of television.
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
             c.speaker = drawPerson(p, speaking(adult(240, false, kBlue, Hair::Short, false)), kGround);
             drawTable(p, 110, 190, 330, kGround, kWood);
             drawTv(p, QRectF(120, 282, 60, 40));
             c.listener = drawPerson(p, child(70, true, kYellow, Hair::Curly), kGround);
             return c;
         }},
        // 21. A dog frightened a little sister.
        {"A kutyája megijesztette a kishúgomat!",
         [](QPainter& p) {
             drawOutdoors(p, kSize, 300);
             drawTree(p, 40, 300, 140);
             Person kid = speaking(child(85, true, kRed, Hair::Pigtails, true));
             kid.arms = Arms::Point;
             Cast c;
             c.speaker = drawPerson(p, kid, kGround);
             Person owner = adult(255, false, kTeal, Hair::Short, false);
             owner.arms = Arms::Forward;
             c.listener = drawPerson(p, owner, kGround);
             drawDog(p, QPointF(178, kGround), false);
             p.save();
             p.setPen(outline(1.2));
             p.drawLine(c.listener.frontHand, QPointF(200, kGround - 46));
             p.restore();
             return c;
         }},
        // 22. The big sister will not help with homework.
        {"Nem segítek, oldd meg egyedül a leckédet!",
         [](QPainter& p) {
             drawRoom(p, kSize, kWallCream, kWood, kFloor);
             drawBookcase(p, QRectF(215, 130, 90, 140));
             Person sister = speaking(child(235, false, kPurple, Hair::Long, true));
             sister.height = 185;
             sister.arms = Arms::Cross;
             Cast c;
             c.speaker = drawPerson(p, sister, kGround);
             c.listener = drawPerson(p, child(70, true, kGreen, Hair::Short), kGround);
             drawTable(p, 105, 185, 330, kGround, kWood);
             drawBook(p, QPointF(135, 318), 30, kBlue);
             drawPencil(p, QPointF(155, 322), 26, -10);
             return c;
         }},
        // 23. Broken glasses on the park bench.
        {"Véletlenül ráültem a szemüvegedre.",
         [](QPainter& p) {
             drawOutdoors(p, kSize, 300);
             drawTree(p, 285, 300, 130);
             drawBench(p, 110, 215, 345);
             drawGlasses(p, QPointF(165, 292), 40, true);
             Cast c;
             c.speaker = drawPerson(p, speaking(child(75, true, kOrange, Hair::Short)), kGround);
             Person grandpa = adult(250, false, QColor(150, 120, 100), Hair::Bald, false);
             grandpa.hairColour = QColor(210, 210, 210);
             c.listener = drawPerson(p, grandpa, kGround);
             return c;
         }},
        // 24. A friend turns away in the schoolyard.
        {"Ma nem akarok veled játszani.",
         [](QPainter& p) {
             drawOutdoors(p, kSize, 300, false);
             drawHouse(p, QRectF(160, 185, 150, 115), QColor(230, 215, 190));
             Person friendly = speaking(child(100, true, kGreen, Hair::Long, true));
             friendly.arms = Arms::Cross;
             Cast c;
             c.speaker = drawPerson(p, friendly, kGround);
             Person other = child(235, false, kRed, Hair::Pigtails, true);
             other.hairColour = QColor(230, 190, 100);
             c.listener = drawPerson(p, other, kGround);
             drawBall(p, QPointF(290, 364), 12, kYellow);
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
