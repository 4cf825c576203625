#include "core/research/ArchiveExport.h"

#include "core/evaluation/Evaluate.h"
#include "core/exam/ExaminationFile.h"
#include "core/marking/Coding.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/FileIdentity.h"
#include "core/platform/TextFile.h"
#include "core/platform/UserError.h"
#include "core/report/EvaluationJson.h"
#include "core/research/HungarianDate.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QThread>

#include <algorithm>
#include <climits>
#include <exception>
#include <numeric>
#include <thread>
#include <vector>

namespace {

const QString kEvalPrefix = QStringLiteral("eval");
const char* const kFieldSuffixes[4] = {"od", "ed", "np", "paren"};

// The evaluation's object keys in the order a reader of the table expects them: the order of
// the protocol, directions E I M and columns O-D E-D N-P. A key added to the evaluation later
// still gets its column, after these, by name.
int keyRank(const QString& key) {
    static const QStringList order = {QStringLiteral("complete"),
                                      QStringLiteral("points"),
                                      QStringLiteral("gcr_points"),
                                      QStringLiteral("scored_picture_count"),
                                      QStringLiteral("cell_score"),
                                      QStringLiteral("column_total"),
                                      QStringLiteral("row_total"),
                                      QStringLiteral("column_percent"),
                                      QStringLiteral("row_percent"),
                                      QStringLiteral("column_class"),
                                      QStringLiteral("row_class"),
                                      QStringLiteral("gcr_percent"),
                                      QStringLiteral("gcr_class"),
                                      QStringLiteral("superego_score"),
                                      QStringLiteral("superego_percent"),
                                      QStringLiteral("superego_class"),
                                      QStringLiteral("trend_text"),
                                      QStringLiteral("top_cell"),
                                      QStringLiteral("total_index_text"),
                                      QStringLiteral("rauchfleisch"),
                                      QStringLiteral("E"),
                                      QStringLiteral("I"),
                                      QStringLiteral("M"),
                                      QStringLiteral("OD"),
                                      QStringLiteral("ED"),
                                      QStringLiteral("NP"),
                                      QStringLiteral("score"),
                                      QStringLiteral("code")};
    const qsizetype index = order.indexOf(key);
    return index < 0 ? INT_MAX : static_cast<int>(index);
}

struct FlatValue {
    QStringList path; // below "eval": keys, and array positions counted from 1
    QJsonValue value;
};

// Depth first: object keys in the reader's order (ranked) or in the object's own sorted order,
// array items in their order.
void flatten(const QJsonValue& value, const QStringList& path, bool ranked, QList<FlatValue>& out) {
    if (value.isObject()) {
        const QJsonObject object = value.toObject();
        QStringList keys = object.keys();
        if (ranked)
            std::stable_sort(keys.begin(), keys.end(),
                             [](const QString& a, const QString& b) { return keyRank(a) < keyRank(b); });
        for (const QString& key : std::as_const(keys))
            flatten(object.value(key), QStringList(path) << key, ranked, out);
    } else if (value.isArray()) {
        const QJsonArray array = value.toArray();
        for (qsizetype i = 0; i < array.size(); ++i)
            flatten(array.at(i), QStringList(path) << QString::number(i + 1), ranked, out);
    } else {
        out.append({path, value});
    }
}

// The values alone in the object's own order: the walk made once per row, so it builds no names
// and sorts nothing.
void flattenValues(const QJsonValue& value, QList<QJsonValue>& out) {
    if (value.isObject()) {
        const QJsonObject object = value.toObject();
        for (auto it = object.constBegin(); it != object.constEnd(); ++it)
            flattenValues(it.value(), out);
    } else if (value.isArray()) {
        const QJsonArray array = value.toArray();
        for (const QJsonValue& item : array)
            flattenValues(item, out);
    } else {
        out.append(value);
    }
}

// Every value of the evaluation the table carries: what gyvkt-cli evaluate --json prints, less
// the personal fields it repeats, plus whether the protocol would be made. A table's texts carry
// the signs themselves, not the protocol's references.
QJsonObject evaluationObject(const ExaminationData& data, const Coding& coding, const EvaluationResult& result,
                             QChar mark) {
    QJsonObject json = evaluationJson(data.personal, coding, result, mark, ResultText::Form::Plain);
    json.remove(QStringLiteral("code"));
    json.remove(QStringLiteral("age"));
    json.insert(QStringLiteral("complete"), protocolRefusal(coding, data.personal.age) == ProtocolRefusal::None);
    return json;
}

QString columnName(const QStringList& evalPath) {
    return kEvalPrefix + QLatin1Char('_') + evalPath.join(QLatin1Char('_'));
}

// The evaluation's columns, taken from the evaluation of an empty coding: its shape does not
// depend on the codes, so every row fills the same columns. A row's values come in the object's
// own order; fromNatural says which column each of them goes to.
struct Shape {
    QList<FlatValue> columns;
    QList<qsizetype> fromNatural;
};

const Shape& evaluationShape() {
    static const Shape shape = [] {
        ExaminationData empty;
        const Coding coding;
        const QJsonObject json = evaluationObject(empty, coding, evaluate(coding, 10), QLatin1Char('.'));
        Shape s;
        flatten(json, {}, true, s.columns);
        QList<FlatValue> natural;
        flatten(json, {}, false, natural);
        for (const FlatValue& value : std::as_const(natural)) {
            for (qsizetype i = 0; i < s.columns.size(); ++i) {
                if (s.columns.at(i).path == value.path) {
                    s.fromNatural << i;
                    break;
                }
            }
        }
        return s;
    }();
    return shape;
}

// "2024.05.06." or "2024. május 6." -> "2024.05."; any other text may hold anything, a name
// too, so it says nothing.
QString yearAndMonth(const QString& date) {
    const std::optional<QDate> parsed = HungarianDate::parse(date);
    return parsed ? parsed->toString(QStringLiteral("yyyy.MM.")) : QString();
}

QString serialCode(qsizetype row) {
    return QStringLiteral("S%1").arg(row + 1, 4, 10, QLatin1Char('0'));
}

// A message of the reader names the file; anonymized, the serial code stands in for it.
QString anonymousMessage(QString message, const QString& path, const QString& realCode, const QString& serial) {
    const QFileInfo info(path);
    for (const QString& form :
         {info.absoluteFilePath(), QDir::toNativeSeparators(info.absoluteFilePath()), path, info.fileName()}) {
        if (!form.isEmpty())
            message.replace(form, serial);
    }
    // Codes are capitals; the words of a message are not, so only the code itself is replaced.
    if (!realCode.isEmpty()) {
        const QRegularExpression word(QStringLiteral("\\b%1\\b").arg(QRegularExpression::escape(realCode)));
        message.replace(word, serial);
    }
    return message;
}

struct Description {
    QString hu;
    QString en;
    QString type;
    QString values;
};

QString columnLabel(const QString& key) {
    if (key == QLatin1String("OD"))
        return QStringLiteral("O-D");
    if (key == QLatin1String("ED"))
        return QStringLiteral("E-D");
    if (key == QLatin1String("NP"))
        return QStringLiteral("N-P");
    return key;
}

// A trend place: the label its text carries, and what it counts in Hungarian and English.
struct TrendPlace {
    const char* label;
    const char* countedHu;
    const char* countedEn;
};

const TrendPlace* trendPlace(int row, int place) {
    static const TrendPlace places[4][3] = {
        {{"EV", "EV az O-D oszlop első kódjaként", "EV as the first code of column O-D"},
         {"IV", "IV az O-D oszlop első kódjaként", "IV as the first code of column O-D"},
         {"MV", "MV az O-D oszlop első kódjaként", "MV as the first code of column O-D"}},
        {{"NE", "NE vagy EE az E-D oszlop első kódjaként", "NE or EE as the first code of column E-D"},
         {"NI", "NI vagy II az E-D oszlop első kódjaként", "NI or II as the first code of column E-D"},
         {"NM", "NM az E-D oszlop első kódjaként", "NM as the first code of column E-D"}},
        {{"KE", "KE az N-P oszlop első kódjaként", "KE as the first code of column N-P"},
         {"KI", "KI az N-P oszlop első kódjaként", "KI as the first code of column N-P"},
         {"KM", "KM az N-P oszlop első kódjaként", "KM as the first code of column N-P"}},
        {{"E", "az E irány: EV az O-D, NE vagy EE az E-D, KE az N-P oszlop első kódjaként, oszloponként számolva",
          "direction E: EV in O-D, NE or EE in E-D, KE in N-P as a column's first code, counted per column"},
         {"I", "az I irány: IV az O-D, NI vagy II az E-D, KI az N-P oszlop első kódjaként, oszloponként számolva",
          "direction I: IV in O-D, NI or II in E-D, KI in N-P as a column's first code, counted per column"},
         {"M", "az M irány: MV az O-D, NM az E-D, KM az N-P oszlop első kódjaként, oszloponként számolva",
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
std::pair<QString, QString> rauchfleischMeaning(const QString& index) {
    if (index == QLatin1String("a"))
        return {QStringLiteral("az E irány pontszáma osztva az I irányéval"),
                QStringLiteral("the score of direction E divided by that of direction I")};
    if (index == QLatin1String("b"))
        return {QStringLiteral("az E irány pontszáma osztva az M irányéval"),
                QStringLiteral("the score of direction E divided by that of direction M")};
    if (index == QLatin1String("c"))
        return {QStringLiteral("az E irány pontszáma osztva az E irány N-P cellájával (KE)"),
                QStringLiteral("the score of direction E divided by its N-P cell (KE)")};
    if (index == QLatin1String("d"))
        return {QStringLiteral("az E irány pontszáma az EE nélkül, osztva az EE és a II összegével"),
                QStringLiteral("the score of direction E less EE, divided by EE + II")};
    if (index == QLatin1String("e"))
        return {QStringLiteral("az I irány N-P cellája (KI) osztva az E irányéval (KE)"),
                QStringLiteral("the N-P cell of direction I (KI) divided by that of direction E (KE)")};
    return {};
}

Description describeEvaluation(const QStringList& path, QChar mark) {
    const QString key = path.value(0);
    const QString a = path.value(1);
    const QString b = path.value(2);
    const QString number = QStringLiteral("number");
    const QString text = QStringLiteral("text");
    const QString points = QStringLiteral("pont / points");
    const QString percent = QStringLiteral("% (a jelölt képek százaléka / of the scored pictures)");
    const QString classes = QStringLiteral("<Q1, Q1/Mdn, Mdn, Mdn/Q3, >Q3");
    if (key == QLatin1String("complete"))
        return {QStringLiteral("készülne-e jegyzőkönyv (legalább 18 jelölt kép, 7–14 év)"),
                QStringLiteral("whether a protocol would be made (at least 18 marked pictures, age 7–14)"),
                QStringLiteral("0/1"), QStringLiteral("1 = igen / yes, 0 = nem / no")};
    if (key == QLatin1String("points") && path.size() == 2)
        return {QStringLiteral("a(z) %1. kép GCR-pontja").arg(a), QStringLiteral("GCR point of picture %1").arg(a),
                number, QStringLiteral("0 / 0") + mark + QStringLiteral("5 / 1")};
    if (key == QLatin1String("gcr_points"))
        return {QStringLiteral("GCR-pontszám (a 24 kép pontjainak összege)"),
                QStringLiteral("GCR points (sum of the 24 pictures' points)"), number, QStringLiteral("0–24")};
    if (key == QLatin1String("scored_picture_count"))
        return {QStringLiteral("az értékelt (jelölt) képek száma; jelölt kép nélkül 1"),
                QStringLiteral("number of scored (marked) pictures; 1 when none is marked"), QStringLiteral("integer"),
                QStringLiteral("1–24")};
    if (key == QLatin1String("cell_score") && path.size() == 3)
        return {QStringLiteral("a(z) %1 irány %2 oszlopának pontszáma").arg(a, columnLabel(b)),
                QStringLiteral("score of direction %1 in column %2").arg(a, columnLabel(b)), number, points};
    if (key == QLatin1String("column_total") && path.size() == 2)
        return {QStringLiteral("a(z) %1 oszlop pontszáma").arg(columnLabel(a)),
                QStringLiteral("total score of column %1").arg(columnLabel(a)), number, points};
    if (key == QLatin1String("row_total") && path.size() == 2)
        return {QStringLiteral("a(z) %1 irány pontszáma").arg(a), QStringLiteral("total score of direction %1").arg(a),
                number, points};
    if (key == QLatin1String("column_percent") && path.size() == 2)
        return {QStringLiteral("a(z) %1 oszlop százaléka, egészre kerekítve (a harmadik a 100 maradéka)")
                    .arg(columnLabel(a)),
                QStringLiteral("column %1 in percent, rounded to a whole number (the third is what the other two "
                               "leave of 100)")
                    .arg(columnLabel(a)),
                number, percent};
    if (key == QLatin1String("row_percent") && path.size() == 2)
        return {QStringLiteral("a(z) %1 irány százaléka, egészre kerekítve (a harmadik a 100 maradéka)").arg(a),
                QStringLiteral("direction %1 in percent, rounded to a whole number (the third is what the other two "
                               "leave of 100)")
                    .arg(a),
                number, percent};
    if (key == QLatin1String("column_class") && path.size() == 2)
        return {QStringLiteral("a(z) %1 oszlop százalékának helye a korcsoport normájában").arg(columnLabel(a)),
                QStringLiteral("where column %1's percentage lies in the age bracket's norms").arg(columnLabel(a)),
                text, classes};
    if (key == QLatin1String("row_class") && path.size() == 2)
        return {QStringLiteral("a(z) %1 irány százalékának helye a korcsoport normájában").arg(a),
                QStringLiteral("where direction %1's percentage lies in the age bracket's norms").arg(a), text,
                classes};
    if (key == QLatin1String("gcr_percent"))
        return {QStringLiteral("GCR-százalék, egészre kerekítve"),
                QStringLiteral("GCR percentage, rounded to a whole number"), QStringLiteral("integer"), percent};
    if (key == QLatin1String("gcr_class"))
        return {QStringLiteral("a GCR-százalék minősítése a korcsoport normájában"),
                QStringLiteral("rating of the GCR percentage in the age bracket's norms"), text,
                QStringLiteral("normál, alacsony, magas, extrém magas")};
    const auto [superegoHu, superegoEn] = superegoMeaning(a.toInt());
    if (key == QLatin1String("superego_score") && path.size() == 2)
        return {QStringLiteral("a(z) %1. felettes-én mutató pontszáma; a mutató: %2").arg(a, superegoHu),
                QStringLiteral("superego index %1, score; the index is %2").arg(a, superegoEn), number, points};
    if (key == QLatin1String("superego_percent") && path.size() == 2)
        return {QStringLiteral("a(z) %1. felettes-én mutató (%2) százaléka, egészre kerekítve").arg(a, superegoHu),
                QStringLiteral("superego index %1 (%2) in percent, rounded to a whole number").arg(a, superegoEn),
                number, percent};
    if (key == QLatin1String("superego_class") && path.size() == 2)
        return {QStringLiteral("a(z) %1. felettes-én mutató (%2) helye a korcsoport normájában").arg(a, superegoHu),
                QStringLiteral("where superego index %1 (%2) lies in the age bracket's norms").arg(a, superegoEn), text,
                classes};
    if (key == QLatin1String("trend_text") && path.size() == 3) {
        const TrendPlace* place = trendPlace(a.toInt(), b.toInt());
        if (!place)
            return {QStringLiteral("tendencia, %1. sor %2. hely (ennek a sornak nincs mértéke, mindig \"nincs\")")
                        .arg(a, b),
                    QStringLiteral("trend, row %1, place %2 (this row has no measure; always \"nincs\")").arg(a, b),
                    text, QStringLiteral("nincs")};
        const QString label = QLatin1String(place->label);
        const QString ratio = QStringLiteral("0") + mark + QStringLiteral("3333");
        const QString limit = QStringLiteral("0") + mark + QStringLiteral("33");
        return {QStringLiteral("tendencia, %1. sor %2. hely: %3. F és L a képek száma az 1–12., illetve a 13–24. "
                               "képek közt; ha F vagy L legalább 4 és r = (F − L) / (F + L) abszolút értéke legalább "
                               "%4, akkor r (legfeljebb négy tizedesre) és a nyíl mutatja, melyik félben több, "
                               "különben \"nincs\"")
                    .arg(a, b, QString::fromUtf8(place->countedHu), limit),
                QStringLiteral("trend, row %1, place %2: %3. F and L count the pictures among 1–12 and 13–24; when F "
                               "or L is at least 4 and r = (F − L) / (F + L) is at least %4 in absolute value, r "
                               "(to at most four decimals) and the arrow show which half has more, else \"nincs\"")
                    .arg(a, b, QString::fromUtf8(place->countedEn), limit),
                text,
                QStringLiteral("nincs; \"%1 -> %2\" (több az első félben / more in the first half); \"%2 <- -%1\" "
                               "(több a második félben / more in the second half)")
                    .arg(ratio, label)};
    }
    if (key == QLatin1String("top_cell") && path.size() == 3 && b == QLatin1String("score"))
        return {QStringLiteral("a totális mutató %1. legnagyobb cellájának pontszáma").arg(a),
                QStringLiteral("total index: score of cell %1 in descending order").arg(a), number, points};
    if (key == QLatin1String("top_cell") && path.size() == 3 && b == QLatin1String("code"))
        return {QStringLiteral("a totális mutató %1. legnagyobb cellájának kódja (üres, ha nincs ilyen cella)").arg(a),
                QStringLiteral("total index: code of cell %1 in descending order (empty when there is none)").arg(a),
                text, QStringLiteral("EV, IV, MV, NE, NI, NM, KE, KI, KM")};
    if (key == QLatin1String("total_index_text"))
        return {QStringLiteral("a totális mutató, ahogy a jegyzőkönyv írja"),
                QStringLiteral("the total index as the protocol writes it"), text,
                QStringLiteral("például / e.g. NE(7") + mark + QStringLiteral("5) > MV(4) = KE(4)")};
    if (key == QLatin1String("rauchfleisch") && path.size() == 2) {
        const auto [hu, en] = rauchfleischMeaning(a);
        return {QStringLiteral("a Rauchfleisch-féle \"%1\" mutató: %2; üres, ha az osztó 0").arg(a, hu),
                QStringLiteral("Rauchfleisch index \"%1\": %2; empty when the divisor is 0").arg(a, en), number,
                QStringLiteral("hányados / ratio")};
    }
    return {};
}

Description describe(const QString& column, bool anonymize) {
    if (column == QLatin1String("file"))
        return {QStringLiteral("a vizsgálati fájl útvonala"), QStringLiteral("path of the examination file"),
                QStringLiteral("text"), QString()};
    if (column == QLatin1String("code"))
        return anonymize ? Description{QStringLiteral("sorszám a valódi kód helyett; a vizsgálatok véletlen "
                                                      "sorrendben kapják, a sorok a sorszámok rendjében állnak, így "
                                                      "sem a sorszám, sem a sor helye nem utal a fájlra vagy a kódra; "
                                                      "a vizsgálathoz csak a külön kérhető kapcsolótábla köti"),
                                       QStringLiteral("serial number in place of the real code; dealt to the "
                                                      "examinations in a random order, the rows in the order of the "
                                                      "serials, so neither the serial nor the row's place points to "
                                                      "the file or the code; only the link table, made on request "
                                                      "and kept apart, leads it back"),
                                       QStringLiteral("text"), QStringLiteral("S0001, S0002, …")}
                         : Description{QStringLiteral("a vizsgált személy kódja (a fájl neve kiterjesztés nélkül)"),
                                       QStringLiteral("subject code (the file's name without its extension)"),
                                       QStringLiteral("text"), QString()};
    if (column == QLatin1String("name"))
        return {QStringLiteral("a vizsgált személy neve"), QStringLiteral("subject's name"), QStringLiteral("text"),
                QString()};
    if (column == QLatin1String("sex"))
        return {QStringLiteral("nem"), QStringLiteral("sex"), QStringLiteral("text"),
                QStringLiteral("boy = fiú, girl = lány")};
    if (column == QLatin1String("age"))
        return {QStringLiteral("életkor"), QStringLiteral("age"), QStringLiteral("integer"),
                QStringLiteral("7–14 év / years")};
    if (column == QLatin1String("date"))
        return anonymize ? Description{QStringLiteral("a vizsgálat éve és hónapja; a fájl dátuma ÉÉÉÉ.HH.NN. vagy "
                                                      "kiírt hónappal (2013. július 22., 2013. júl. 22., ékezet "
                                                      "nélkül is) állhat; más szövegnél és nem létező napnál üres"),
                                       QStringLiteral("year and month of the examination; the stored date may read "
                                                      "YYYY.MM.DD. or have the month written out in Hungarian (2013. "
                                                      "július 22., 2013. júl. 22., accents optional); empty for any "
                                                      "other text or a day that does not exist"),
                                       QStringLiteral("text"), QStringLiteral("ÉÉÉÉ.HH. / YYYY.MM.")}
                         : Description{QStringLiteral("a vizsgálat dátuma, ahogy a fájlban áll"),
                                       QStringLiteral("date of the examination as stored"), QStringLiteral("text"),
                                       QStringLiteral("ÉÉÉÉ.HH.NN. / YYYY.MM.DD.")};
    if (column == QLatin1String("examiner"))
        return {QStringLiteral("a vizsgálatvezető"), QStringLiteral("examiner"), QStringLiteral("text"), QString()};
    if (column == QLatin1String("error"))
        return {QStringLiteral("a beolvasás vagy a kiértékelés hibaüzenete; üres, ha nem volt hiba"),
                QStringLiteral("the reading or evaluation error; empty when there was none"), QStringLiteral("text"),
                QString()};
    static const QRegularExpression raw(QStringLiteral("^p(\\d+)_(od|ed|np|paren)$"));
    const QRegularExpressionMatch m = raw.match(column);
    if (m.hasMatch()) {
        const QString picture = m.captured(1);
        const QString field = m.captured(2);
        if (field == QLatin1String("paren"))
            return {QStringLiteral("a(z) %1. kép zárójeles jelölése, ahogy a fájl tárolja").arg(picture),
                    QStringLiteral("picture %1, parenthesized mark as stored").arg(picture), QStringLiteral("text"),
                    QString()};
        const QString label = columnLabel(field.toUpper());
        const QString codes = field == QLatin1String("od")   ? QStringLiteral("EV, IV, MV")
                              : field == QLatin1String("ed") ? QStringLiteral("NE, EE, NI, II, NM")
                                                             : QStringLiteral("KE, KI, KM");
        return {QStringLiteral("a(z) %1. kép %2 mezője, ahogy a fájl tárolja").arg(picture, label),
                QStringLiteral("picture %1, field %2 as stored").arg(picture, label), QStringLiteral("text"),
                QStringLiteral("legfeljebb két kód egymás után / up to two codes in a row: %1").arg(codes)};
    }
    return {};
}

QStringList personalColumns(bool anonymize) {
    if (anonymize)
        return {QStringLiteral("code"), QStringLiteral("sex"), QStringLiteral("age"), QStringLiteral("date")};
    return {QStringLiteral("file"), QStringLiteral("code"), QStringLiteral("name"),    QStringLiteral("sex"),
            QStringLiteral("age"),  QStringLiteral("date"), QStringLiteral("examiner")};
}

QStringList rawColumns() {
    QStringList names;
    for (int picture = 1; picture <= kPictureCount; ++picture) {
        for (const char* suffix : kFieldSuffixes)
            names << QStringLiteral("p%1_%2").arg(picture).arg(QLatin1String(suffix));
    }
    return names;
}

} // namespace

QStringList ArchiveExport::columns(bool anonymize) {
    QStringList names = personalColumns(anonymize) + rawColumns();
    for (const FlatValue& value : evaluationShape().columns)
        names << columnName(value.path);
    names << QStringLiteral("error");
    return names;
}

namespace {

// The rows [from, to) of the table, row r holding files[order[r]]: the table's text and the errors
// met, each with its file's place in files.
struct RowBlock {
    CsvWriter rows;
    QList<std::pair<qsizetype, QString>> errors;
    std::exception_ptr failure; // anything but a UserError, handed to the caller's thread
};

void buildRows(const QStringList& files, const std::vector<qsizetype>& order, qsizetype from, qsizetype to,
               const GcrKey& key, const ArchiveExport::Options& options, qsizetype columnCount, RowBlock& block) {
    const QChar mark = options.dialect.decimalMark;
    const bool anonymize = options.anonymize;
    const Shape& shape = evaluationShape();
    // For each evaluation column, where its value comes in the object's own order.
    QList<qsizetype> toNatural(shape.fromNatural.size());
    for (qsizetype i = 0; i < shape.fromNatural.size(); ++i)
        toNatural[shape.fromNatural.at(i)] = i;

    CsvWriter& table = block.rows;
    for (qsizetype index = from; index < to; ++index) {
        const qsizetype fileIndex = order[static_cast<size_t>(index)];
        const QString& path = files.at(fileIndex);
        const QString serial = serialCode(index);
        ExaminationData data;
        QList<QJsonValue> values;
        try {
            data = ExaminationFile::read(path);
            const Coding coding(key, data.lines);
            const EvaluationResult evaluation = evaluate(coding, data.personal.age);
            values.reserve(toNatural.size());
            flattenValues(evaluationObject(data, coding, evaluation, mark), values);
            if (values.size() != toNatural.size())
                throw UserError(QStringLiteral("A kiértékelés értékei nem illenek a táblázat oszlopaihoz."));
        } catch (const UserError& e) {
            // Only the file (the serial code when anonymized) and the message.
            table.addField(anonymize ? serial : path);
            for (qsizetype i = 1; i < columnCount - 1; ++i)
                table.addField(QString());
            table.addField(anonymize ? anonymousMessage(e.text(), path, ExaminationFile::codeFromPath(path), serial)
                                     : e.text());
            table.endRow();
            block.errors.append({fileIndex, path + QStringLiteral(": ") + e.text()});
            continue;
        }

        const PersonalData& pd = data.personal;
        if (!anonymize)
            table.addField(path);
        table.addField(anonymize ? serial : pd.code);
        if (!anonymize)
            table.addField(pd.name);
        table.addField(pd.sex == PersonalData::Sex::Boy ? QStringLiteral("boy") : QStringLiteral("girl"));
        table.addNumber(pd.age);
        table.addField(anonymize ? yearAndMonth(pd.date) : pd.date);
        if (!anonymize)
            table.addField(pd.examiner);
        for (const ScoringLine& line : data.lines) {
            for (const QString& field : line.fields)
                table.addField(field);
        }
        for (const qsizetype natural : std::as_const(toNatural)) {
            const QJsonValue& value = values.at(natural);
            switch (value.type()) {
            case QJsonValue::Double:
                table.addNumber(value.toDouble());
                break;
            case QJsonValue::String:
                table.addField(value.toString());
                break;
            case QJsonValue::Bool:
                table.addField(value.toBool() ? QStringLiteral("1") : QStringLiteral("0"));
                break;
            default:
                table.addField(QString());
                break;
            }
        }
        table.addField(QString()); // no error
        table.endRow();
    }
}

} // namespace

ArchiveExport::Result ArchiveExport::build(const QStringList& files, const GcrKey& key, const Options& options) {
    const QChar mark = options.dialect.decimalMark;
    const QStringList header = columns(options.anonymize);
    const Shape& shape = evaluationShape();

    // Every row depends on its own file alone, so a large archive is split into contiguous
    // blocks read and evaluated side by side, then joined in file order.
    constexpr qsizetype kFilesPerBlock = 500;
    const qsizetype workers =
        std::clamp<qsizetype>(std::min<qsizetype>(QThread::idealThreadCount(), files.size() / kFilesPerBlock), 1, 8);
    // Anonymized, the serials are dealt in an order nobody can reproduce and the rows follow the
    // serials, so neither a serial nor a row's place says which file it came from.
    std::vector<qsizetype> order(static_cast<size_t>(files.size()));
    std::iota(order.begin(), order.end(), 0);
    if (options.anonymize)
        std::shuffle(order.begin(), order.end(), *QRandomGenerator::system());
    std::vector<RowBlock> blocks;
    blocks.reserve(static_cast<size_t>(workers));
    for (qsizetype w = 0; w < workers; ++w)
        blocks.push_back({CsvWriter(options.dialect), {}, {}});
    auto run = [&](qsizetype w) {
        try {
            buildRows(files, order, files.size() * w / workers, files.size() * (w + 1) / workers, key, options,
                      header.size(), blocks[static_cast<size_t>(w)]);
        } catch (...) {
            blocks[static_cast<size_t>(w)].failure = std::current_exception();
        }
    };
    std::vector<std::thread> threads;
    for (qsizetype w = 1; w < workers; ++w)
        threads.emplace_back(run, w);
    run(0);
    for (std::thread& thread : threads)
        thread.join();

    Result result;
    CsvWriter table(options.dialect);
    table.addRow(header);
    QList<std::pair<qsizetype, QString>> errors;
    for (const RowBlock& block : blocks) {
        if (block.failure)
            std::rethrow_exception(block.failure);
        table.addRows(block.rows);
        errors << block.errors;
    }
    std::sort(errors.begin(), errors.end());
    for (const auto& error : std::as_const(errors))
        result.errors << error.second;
    result.rows = static_cast<int>(files.size());
    result.table = table.bytes();
    if (options.anonymize) {
        CsvWriter links(options.dialect);
        links.addRow({QStringLiteral("serial"), QStringLiteral("file"), QStringLiteral("code")});
        for (size_t row = 0; row < order.size(); ++row) {
            const QString& path = files.at(order[row]);
            links.addRow({serialCode(static_cast<qsizetype>(row)), path, ExaminationFile::codeFromPath(path)});
        }
        result.linkTable = links.bytes();
    }

    CsvWriter codebook(options.dialect);
    codebook.addRow({QStringLiteral("name"), QStringLiteral("description_hu"), QStringLiteral("description_en"),
                     QStringLiteral("type"), QStringLiteral("values")});
    QHash<QString, QStringList> evaluationPaths;
    for (const FlatValue& value : shape.columns)
        evaluationPaths.insert(columnName(value.path), value.path);
    for (const QString& column : header) {
        const auto evaluationPath = evaluationPaths.constFind(column);
        Description d = evaluationPath != evaluationPaths.constEnd() ? describeEvaluation(*evaluationPath, mark)
                                                                     : describe(column, options.anonymize);
        if (d.hu.isEmpty())
            d = {QStringLiteral("a kiértékelés értéke (gyvkt-cli evaluate --json)"),
                 QStringLiteral("a value of the evaluation (gyvkt-cli evaluate --json)"), QString(), QString()};
        codebook.addRow({column, d.hu, d.en, d.type, d.values});
    }
    result.codebook = codebook.bytes();
    return result;
}

QString ArchiveExport::codebookPath(const QString& output) {
    const QString suffix = QStringLiteral(".csv");
    if (output.endsWith(suffix, Qt::CaseInsensitive))
        return output.left(output.size() - suffix.size()) + QStringLiteral(".codebook") + output.right(suffix.size());
    return output + QStringLiteral(".codebook.csv");
}

void ArchiveExport::write(const QString& output, const Result& result, const QStringList& readFiles,
                          const QString& linkTable) {
    QList<std::pair<QString, const QByteArray*>> targets{{output, &result.table},
                                                         {codebookPath(output), &result.codebook}};
    if (!linkTable.isEmpty()) {
        if (result.linkTable.isEmpty())
            throw UserError(QStringLiteral("Kapcsolótábla csak anonim exporthoz készül."));
        for (const auto& target : std::as_const(targets)) {
            if (FileIdentity::same(linkTable, target.first))
                throw UserError(QStringLiteral("A kapcsolótábla nem kerülhet az export helyére: %1").arg(target.first));
        }
        targets.append({linkTable, &result.linkTable});
    }
    for (const auto& target : std::as_const(targets)) {
        const QString input = FileIdentity::overwrittenInput(target.first, readFiles);
        if (!input.isEmpty())
            throw UserError(QStringLiteral("Az export nem írhatja felül a beolvasott vizsgálati fájlt: %1").arg(input));
    }
    // The table, its codebook and the link table describe each other: all are replaced, or none,
    // so no anonymized table is left whose serials could not be led back.
    AtomicFile::Batch batch;
    for (const auto& [path, bytes] : std::as_const(targets))
        batch.stage(path, *bytes);
    batch.commit();
}
