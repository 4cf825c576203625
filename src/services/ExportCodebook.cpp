#include "services/ExportCodebook.h"

#include "model/AgeBrackets.h"
#include "model/Evaluate.h"
#include "model/ProtocolGate.h"

#include <utility>

namespace {

const char* const kDirections[3] = {"E", "I", "M"};
const char* const kColumns[3] = {"O-D", "E-D", "N-P"};

const QString kNumber = QStringLiteral("number");
const QString kText = QStringLiteral("text");
const QString kInteger = QStringLiteral("integer");
const QString kPoints = QStringLiteral("pont / points");
const QString kPercent = QStringLiteral("% (a jelölt képek százaléka / of the scored pictures)");
const QString kClasses = QStringLiteral("<Q1, Q1/Mdn, Mdn, Mdn/Q3, >Q3");

QString direction(int d) {
    return QLatin1String(kDirections[d]);
}

QString column(int t) {
    return QLatin1String(kColumns[t]);
}

// What a trend place counts, in Hungarian and English.
struct TrendPlace {
    const char* countedHu;
    const char* countedEn;
};

const TrendPlace* trendPlace(int row, int place) {
    static const TrendPlace places[4][3] = {
        {{"EV az O-D oszlop első kódjaként", "EV as the first code of column O-D"},
         {"IV az O-D oszlop első kódjaként", "IV as the first code of column O-D"},
         {"MV az O-D oszlop első kódjaként", "MV as the first code of column O-D"}},
        {{"NE vagy EE az E-D oszlop első kódjaként", "NE or EE as the first code of column E-D"},
         {"NI vagy II az E-D oszlop első kódjaként", "NI or II as the first code of column E-D"},
         {"NM az E-D oszlop első kódjaként", "NM as the first code of column E-D"}},
        {{"KE az N-P oszlop első kódjaként", "KE as the first code of column N-P"},
         {"KI az N-P oszlop első kódjaként", "KI as the first code of column N-P"},
         {"KM az N-P oszlop első kódjaként", "KM as the first code of column N-P"}},
        {{"az E irány: EV az O-D, NE vagy EE az E-D, KE az N-P oszlop első kódjaként, oszloponként számolva",
          "direction E: EV in O-D, NE or EE in E-D, KE in N-P as a column's first code, counted per column"},
         {"az I irány: IV az O-D, NI vagy II az E-D, KI az N-P oszlop első kódjaként, oszloponként számolva",
          "direction I: IV in O-D, NI or II in E-D, KI in N-P as a column's first code, counted per column"},
         {"az M irány: MV az O-D, NM az E-D, KM az N-P oszlop első kódjaként, oszloponként számolva",
          "direction M: MV in O-D, NM in E-D, KM in N-P as a column's first code, counted per column"}}};
    if (row >= 1 && row <= 4 && place >= 1 && place <= 3)
        return &places[row - 1][place - 1];
    return nullptr;
}

// What each superego index (1 to 6) is made of, in a sentence. EE and II are the weighted counts
// of those codes in column E-D, a cell the score of a direction in a column.
std::pair<QString, QString> superegoMeaning(int index) {
    switch (index) {
    case 1:
        return {QStringLiteral("EE, az E-D oszlop EE-jelöléseinek pontszáma"),
                QStringLiteral("EE, the score of the EE marks in column E-D")};
    case 2:
        return {QStringLiteral("II, az E-D oszlop II-jelöléseinek pontszáma"),
                QStringLiteral("II, the score of the II marks in column E-D")};
    case 3:
        return {QStringLiteral("EE + II, az 1. és a 2. mutató összege"),
                QStringLiteral("EE + II, the sum of indices 1 and 2")};
    case 4:
        return {QStringLiteral("az E irány E-D cellája az EE nélkül, vagyis az NE pontszáma"),
                QStringLiteral("the E-D cell of direction E less EE, that is the score of NE")};
    case 5:
        return {QStringLiteral("az I irány E-D cellája a II nélkül, vagyis az NI pontszáma"),
                QStringLiteral("the E-D cell of direction I less II, that is the score of NI")};
    case 6:
        return {QStringLiteral("az M irány O-D, E-D és N-P cellája és a II összege"),
                QStringLiteral("the O-D, E-D and N-P cells of direction M plus II")};
    default:
        return {};
    }
}

// Each Rauchfleisch index as its quotient, in a sentence.
std::pair<QString, QString> rauchfleischMeaning(char index) {
    switch (index) {
    case 'a':
        return {QStringLiteral("az E irány pontszáma osztva az I irányéval"),
                QStringLiteral("the score of direction E divided by that of direction I")};
    case 'b':
        return {QStringLiteral("az E irány pontszáma osztva az M irányéval"),
                QStringLiteral("the score of direction E divided by that of direction M")};
    case 'c':
        return {QStringLiteral("az E irány pontszáma osztva az E irány N-P cellájával (KE)"),
                QStringLiteral("the score of direction E divided by its N-P cell (KE)")};
    case 'd':
        return {QStringLiteral("az E irány pontszáma az EE nélkül, osztva az EE és a II összegével"),
                QStringLiteral("the score of direction E less EE, divided by EE + II")};
    case 'e':
        return {QStringLiteral("az I irány N-P cellája (KI) osztva az E irányéval (KE)"),
                QStringLiteral("the N-P cell of direction I (KI) divided by that of direction E (KE)")};
    default:
        return {};
    }
}

} // namespace

Description ExportCodebook::file() {
    return {QStringLiteral("a vizsgálati fájl útvonala"), QStringLiteral("path of the examination file"), kText,
            QString()};
}

Description ExportCodebook::code(bool anonymize) {
    if (!anonymize)
        return {QStringLiteral("a vizsgált személy kódja (a fájl neve kiterjesztés nélkül)"),
                QStringLiteral("subject code (the file's name without its extension)"), kText, QString()};
    return {QStringLiteral("sorszám a valódi kód helyett; a vizsgálatok véletlen sorrendben kapják, a sorok a "
                           "sorszámok rendjében állnak, így sem a sorszám, sem a sor helye nem utal a fájlra vagy a "
                           "kódra; a vizsgálathoz csak a külön kérhető kapcsolótábla köti"),
            QStringLiteral("serial number in place of the real code; dealt to the examinations in a random order, the "
                           "rows in the order of the serials, so neither the serial nor the row's place points to the "
                           "file or the code; only the link table, made on request and kept apart, leads it back"),
            kText, QStringLiteral("S0001, S0002, …")};
}

Description ExportCodebook::pseudonym() {
    return {QStringLiteral("álnév a valódi kód helyett: az intézményi archívum véletlen azonosítója, vizsgálatonként "
                           "állandó, és semmit sem árul el a gyermekről, a kódról vagy a fájlról; a sorok az álnevek "
                           "rendjében állnak"),
            QStringLiteral("pseudonym in place of the real code: the institution archive's random identifier, the "
                           "same for an examination in every export, telling nothing of the child, the code or the "
                           "file; the rows in the order of the pseudonyms"),
            kText, QStringLiteral("UUID")};
}

Description ExportCodebook::name() {
    return {QStringLiteral("a vizsgált személy neve"), QStringLiteral("subject's name"), kText, QString()};
}

Description ExportCodebook::sex() {
    return {QStringLiteral("nem"), QStringLiteral("sex"), kText, QStringLiteral("boy = fiú, girl = lány")};
}

Description ExportCodebook::age() {
    return {QStringLiteral("életkor"), QStringLiteral("age"), kInteger,
            AgeBrackets::rangeText() + QStringLiteral(" év / years")};
}

Description ExportCodebook::date(bool anonymize) {
    if (!anonymize)
        return {QStringLiteral("a vizsgálat dátuma, ahogy a fájlban áll"),
                QStringLiteral("date of the examination as stored"), kText,
                QStringLiteral("ÉÉÉÉ.HH.NN. / YYYY.MM.DD.")};
    return {QStringLiteral("a vizsgálat éve és hónapja; a fájl dátuma ÉÉÉÉ.HH.NN. vagy kiírt hónappal (2013. július "
                           "22., 2013. júl. 22., ékezet nélkül is) állhat; más szövegnél és nem létező napnál üres"),
            QStringLiteral("year and month of the examination; the stored date may read YYYY.MM.DD. or have the month "
                           "written out in Hungarian (2013. július 22., 2013. júl. 22., accents optional); empty for "
                           "any other text or a day that does not exist"),
            kText, QStringLiteral("ÉÉÉÉ.HH. / YYYY.MM.")};
}

Description ExportCodebook::examiner() {
    return {QStringLiteral("a vizsgálatvezető"), QStringLiteral("examiner"), kText, QString()};
}

Description ExportCodebook::rawField(int picture, int field) {
    static const char* const codes[3] = {"EV, IV, MV", "NE, EE, NI, II, NM", "KE, KI, KM"};
    const QString p = QString::number(picture);
    if (field == 3)
        return {QStringLiteral("a(z) %1. kép zárójeles jelölése, ahogy a fájl tárolja").arg(p),
                QStringLiteral("picture %1, parenthesized mark as stored").arg(p), kText, QString()};
    return {QStringLiteral("a(z) %1. kép %2 mezője, ahogy a fájl tárolja").arg(p, column(field)),
            QStringLiteral("picture %1, field %2 as stored").arg(p, column(field)), kText,
            QStringLiteral("legfeljebb két kód egymás után / up to two codes in a row: %1")
                .arg(QLatin1String(codes[field]))};
}

Description ExportCodebook::complete() {
    const QString minimum = QString::number(kMinimumMarkedPictures);
    return {
        QStringLiteral("készülne-e jegyzőkönyv (legalább %1 jelölt kép, %2 év)").arg(minimum, AgeBrackets::rangeText()),
        QStringLiteral("whether a protocol would be made (at least %1 marked pictures, age %2)")
            .arg(minimum, AgeBrackets::rangeText()),
        QStringLiteral("0/1"), QStringLiteral("1 = igen / yes, 0 = nem / no")};
}

Description ExportCodebook::picturePoint(int picture, QChar mark) {
    const QString p = QString::number(picture);
    return {QStringLiteral("a(z) %1. kép GCR-pontja").arg(p), QStringLiteral("GCR point of picture %1").arg(p), kNumber,
            QStringLiteral("0 / 0") + mark + QStringLiteral("5 / 1")};
}

Description ExportCodebook::gcrPoints() {
    return {QStringLiteral("GCR-pontszám (a 24 kép pontjainak összege)"),
            QStringLiteral("GCR points (sum of the 24 pictures' points)"), kNumber, QStringLiteral("0–24")};
}

Description ExportCodebook::scoredPictureCount() {
    return {QStringLiteral("az értékelt (jelölt) képek száma; jelölt kép nélkül 1"),
            QStringLiteral("number of scored (marked) pictures; 1 when none is marked"), kInteger,
            QStringLiteral("1–24")};
}

Description ExportCodebook::cellScore(int d, int t) {
    return {QStringLiteral("a(z) %1 irány %2 oszlopának pontszáma").arg(direction(d), column(t)),
            QStringLiteral("score of direction %1 in column %2").arg(direction(d), column(t)), kNumber, kPoints};
}

Description ExportCodebook::columnTotal(int t) {
    return {QStringLiteral("a(z) %1 oszlop pontszáma").arg(column(t)),
            QStringLiteral("total score of column %1").arg(column(t)), kNumber, kPoints};
}

Description ExportCodebook::rowTotal(int d) {
    return {QStringLiteral("a(z) %1 irány pontszáma").arg(direction(d)),
            QStringLiteral("total score of direction %1").arg(direction(d)), kNumber, kPoints};
}

Description ExportCodebook::columnPercent(int t) {
    return {QStringLiteral("a(z) %1 oszlop százaléka, egészre kerekítve (a harmadik a 100 maradéka)").arg(column(t)),
            QStringLiteral("column %1 in percent, rounded to a whole number (the third is what the other two leave "
                           "of 100)")
                .arg(column(t)),
            kNumber, kPercent};
}

Description ExportCodebook::rowPercent(int d) {
    return {QStringLiteral("a(z) %1 irány százaléka, egészre kerekítve (a harmadik a 100 maradéka)").arg(direction(d)),
            QStringLiteral("direction %1 in percent, rounded to a whole number (the third is what the other two "
                           "leave of 100)")
                .arg(direction(d)),
            kNumber, kPercent};
}

Description ExportCodebook::columnClass(int t) {
    return {QStringLiteral("a(z) %1 oszlop százalékának helye a korcsoport normájában").arg(column(t)),
            QStringLiteral("where column %1's percentage lies in the age bracket's norms").arg(column(t)), kText,
            kClasses};
}

Description ExportCodebook::rowClass(int d) {
    return {QStringLiteral("a(z) %1 irány százalékának helye a korcsoport normájában").arg(direction(d)),
            QStringLiteral("where direction %1's percentage lies in the age bracket's norms").arg(direction(d)), kText,
            kClasses};
}

Description ExportCodebook::gcrPercent() {
    return {QStringLiteral("GCR-százalék, egészre kerekítve"),
            QStringLiteral("GCR percentage, rounded to a whole number"), kInteger, kPercent};
}

Description ExportCodebook::gcrClass() {
    return {QStringLiteral("a GCR-százalék minősítése a korcsoport normájában"),
            QStringLiteral("rating of the GCR percentage in the age bracket's norms"), kText,
            QStringLiteral("normál, alacsony, magas, extrém magas")};
}

Description ExportCodebook::superegoScore(int index) {
    const QString k = QString::number(index);
    const auto [hu, en] = superegoMeaning(index);
    return {QStringLiteral("a(z) %1. felettes-én mutató pontszáma; a mutató: %2").arg(k, hu),
            QStringLiteral("superego index %1, score; the index is %2").arg(k, en), kNumber, kPoints};
}

Description ExportCodebook::superegoPercent(int index) {
    const QString k = QString::number(index);
    const auto [hu, en] = superegoMeaning(index);
    return {QStringLiteral("a(z) %1. felettes-én mutató (%2) százaléka, egészre kerekítve").arg(k, hu),
            QStringLiteral("superego index %1 (%2) in percent, rounded to a whole number").arg(k, en), kNumber,
            kPercent};
}

Description ExportCodebook::superegoClass(int index) {
    const QString k = QString::number(index);
    const auto [hu, en] = superegoMeaning(index);
    return {QStringLiteral("a(z) %1. felettes-én mutató (%2) helye a korcsoport normájában").arg(k, hu),
            QStringLiteral("where superego index %1 (%2) lies in the age bracket's norms").arg(k, en), kText, kClasses};
}

Description ExportCodebook::trend(int row, int place, QChar mark) {
    const QString a = QString::number(row);
    const QString b = QString::number(place);
    const TrendPlace* counted = trendPlace(row, place);
    if (!counted)
        return {
            QStringLiteral("tendencia, %1. sor %2. hely (ennek a sornak nincs mértéke, mindig \"nincs\")").arg(a, b),
            QStringLiteral("trend, row %1, place %2 (this row has no measure; always \"nincs\")").arg(a, b), kText,
            QStringLiteral("nincs")};
    const QString ratio = QStringLiteral("0") + mark + QStringLiteral("3333");
    const QString limit = QStringLiteral("0") + mark + QStringLiteral("33");
    return {QStringLiteral("tendencia, %1. sor %2. hely: %3. F és L a képek száma az 1–12., illetve a 13–24. képek "
                           "közt; ha F vagy L legalább 4 és r = (F − L) / (F + L) abszolút értéke legalább %4, akkor "
                           "r (legfeljebb négy tizedesre) és a nyíl mutatja, melyik félben több, különben \"nincs\"")
                .arg(a, b, QString::fromUtf8(counted->countedHu), limit),
            QStringLiteral("trend, row %1, place %2: %3. F and L count the pictures among 1–12 and 13–24; when F or L "
                           "is at least 4 and r = (F − L) / (F + L) is at least %4 in absolute value, r (to at most "
                           "four decimals) and the arrow show which half has more, else \"nincs\"")
                .arg(a, b, QString::fromUtf8(counted->countedEn), limit),
            kText,
            QStringLiteral("nincs; \"%1 -> %2\" (több az első félben / more in the first half); \"%2 <- -%1\" (több a "
                           "második félben / more in the second half)")
                .arg(ratio, Evaluation::trendLabel(row, place))};
}

Description ExportCodebook::topCellScore(int place) {
    const QString p = QString::number(place);
    return {QStringLiteral("a totális mutató %1. legnagyobb cellájának pontszáma").arg(p),
            QStringLiteral("total index: score of cell %1 in descending order").arg(p), kNumber, kPoints};
}

Description ExportCodebook::topCellCode(int place) {
    const QString p = QString::number(place);
    return {QStringLiteral("a totális mutató %1. legnagyobb cellájának kódja (üres, ha nincs ilyen cella)").arg(p),
            QStringLiteral("total index: code of cell %1 in descending order (empty when there is none)").arg(p), kText,
            QStringLiteral("EV, IV, MV, NE, NI, NM, KE, KI, KM")};
}

Description ExportCodebook::totalIndex(QChar mark) {
    return {QStringLiteral("a totális mutató, ahogy a jegyzőkönyv írja"),
            QStringLiteral("the total index as the protocol writes it"), kText,
            QStringLiteral("például / e.g. NE(7") + mark + QStringLiteral("5) > MV(4) = KE(4)")};
}

Description ExportCodebook::rauchfleisch(char index) {
    const QString letter = QString(QLatin1Char(index));
    const auto [hu, en] = rauchfleischMeaning(index);
    return {QStringLiteral("a Rauchfleisch-féle \"%1\" mutató: %2; üres, ha az osztó 0").arg(letter, hu),
            QStringLiteral("Rauchfleisch index \"%1\": %2; empty when the divisor is 0").arg(letter, en), kNumber,
            QStringLiteral("hányados / ratio")};
}

Description ExportCodebook::error() {
    return {QStringLiteral("a beolvasás vagy a kiértékelés hibaüzenete; üres, ha nem volt hiba"),
            QStringLiteral("the reading or evaluation error; empty when there was none"), kText, QString()};
}
