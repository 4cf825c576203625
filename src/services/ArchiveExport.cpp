#include "services/ArchiveExport.h"

#include "base/FileIdentity.h"
#include "base/TextFile.h"
#include "base/UserError.h"
#include "formats/ExaminationFile.h"
#include "model/Coding.h"
#include "model/Evaluate.h"
#include "render/ResultText.h"
#include "services/EvaluatedExamination.h"
#include "services/ExportSet.h"
#include "services/HungarianDate.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <exception>
#include <functional>
#include <numeric>
#include <vector>

namespace {

const char* const kDirections[3] = {"E", "I", "M"};
const char* const kTypes[3] = {"OD", "ED", "NP"};
const char* const kTypeLabels[3] = {"O-D", "E-D", "N-P"};

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

// One examination as the columns read it.
struct RowSource {
    const QString& path;
    const QString& serial;
    const ExaminationData& data;
    const Coding& coding;
    const EvaluationResult& result;
    QChar mark;
};

using CellWriter = std::function<void(CsvWriter&, const RowSource&)>;

// One column of the table: its name, how a row's value is got, and its line in the codebook.
struct Column {
    QString name;
    CellWriter write;
    Description description;
};

template <typename Get>
CellWriter numberCell(Get get) {
    return [get](CsvWriter& out, const RowSource& row) { out.addNumber(get(row)); };
}

template <typename Get>
CellWriter textCell(Get get) {
    return [get](CsvWriter& out, const RowSource& row) { out.addField(get(row)); };
}

// Every column of the table in order, the personal data first, then the 24 raw lines, the
// evaluation in the order of the protocol (directions E I M, columns O-D E-D N-P) and the error.
std::vector<Column> columnTable(bool anonymize, QChar mark) {
    using R = EvaluationResult;
    using Form = ResultText::Form;
    std::vector<Column> c;
    auto add = [&c](const QString& name, CellWriter write, Description d) {
        c.push_back({name, std::move(write), std::move(d)});
    };
    auto eval = [&add](const QString& name, CellWriter write, Description d) {
        add(QStringLiteral("eval_") + name, std::move(write), std::move(d));
    };
    const QString number = QStringLiteral("number");
    const QString text = QStringLiteral("text");
    const QString integer = QStringLiteral("integer");

    if (!anonymize)
        add(QStringLiteral("file"), textCell([](const RowSource& r) { return r.path; }),
            {QStringLiteral("a vizsgálati fájl útvonala"), QStringLiteral("path of the examination file"), text,
             QString()});
    add(QStringLiteral("code"),
        textCell([anonymize](const RowSource& r) { return anonymize ? r.serial : r.data.personal.code; }),
        anonymize
            ? Description{QStringLiteral("sorszám a valódi kód helyett; a vizsgálatok véletlen "
                                         "sorrendben kapják, a sorok a sorszámok rendjében állnak, így "
                                         "sem a sorszám, sem a sor helye nem utal a fájlra vagy a kódra; "
                                         "a vizsgálathoz csak a külön kérhető kapcsolótábla köti"),
                          QStringLiteral("serial number in place of the real code; dealt to the "
                                         "examinations in a random order, the rows in the order of the "
                                         "serials, so neither the serial nor the row's place points to "
                                         "the file or the code; only the link table, made on request "
                                         "and kept apart, leads it back"),
                          text, QStringLiteral("S0001, S0002, …")}
            : Description{QStringLiteral("a vizsgált személy kódja (a fájl neve kiterjesztés nélkül)"),
                          QStringLiteral("subject code (the file's name without its extension)"), text, QString()});
    if (!anonymize)
        add(QStringLiteral("name"), textCell([](const RowSource& r) { return r.data.personal.name; }),
            {QStringLiteral("a vizsgált személy neve"), QStringLiteral("subject's name"), text, QString()});
    add(QStringLiteral("sex"), textCell([](const RowSource& r) {
            return r.data.personal.sex == PersonalData::Sex::Boy ? QStringLiteral("boy") : QStringLiteral("girl");
        }),
        {QStringLiteral("nem"), QStringLiteral("sex"), text, QStringLiteral("boy = fiú, girl = lány")});
    add(QStringLiteral("age"), numberCell([](const RowSource& r) { return r.data.personal.age; }),
        {QStringLiteral("életkor"), QStringLiteral("age"), integer, QStringLiteral("7–14 év / years")});
    add(QStringLiteral("date"), textCell([anonymize](const RowSource& r) {
            return anonymize ? yearAndMonth(r.data.personal.date) : r.data.personal.date;
        }),
        anonymize ? Description{QStringLiteral("a vizsgálat éve és hónapja; a fájl dátuma ÉÉÉÉ.HH.NN. vagy "
                                               "kiírt hónappal (2013. július 22., 2013. júl. 22., ékezet "
                                               "nélkül is) állhat; más szövegnél és nem létező napnál üres"),
                                QStringLiteral("year and month of the examination; the stored date may read "
                                               "YYYY.MM.DD. or have the month written out in Hungarian (2013. "
                                               "július 22., 2013. júl. 22., accents optional); empty for any "
                                               "other text or a day that does not exist"),
                                text, QStringLiteral("ÉÉÉÉ.HH. / YYYY.MM.")}
                  : Description{QStringLiteral("a vizsgálat dátuma, ahogy a fájlban áll"),
                                QStringLiteral("date of the examination as stored"), text,
                                QStringLiteral("ÉÉÉÉ.HH.NN. / YYYY.MM.DD.")});
    if (!anonymize)
        add(QStringLiteral("examiner"), textCell([](const RowSource& r) { return r.data.personal.examiner; }),
            {QStringLiteral("a vizsgálatvezető"), QStringLiteral("examiner"), text, QString()});

    static const char* const fieldNames[4] = {"od", "ed", "np", "paren"};
    static const char* const fieldCodes[3] = {"EV, IV, MV", "NE, EE, NI, II, NM", "KE, KI, KM"};
    for (int picture = 1; picture <= kPictureCount; ++picture) {
        const QString p = QString::number(picture);
        for (size_t field = 0; field < 4; ++field) {
            const CellWriter raw = textCell([picture, field](const RowSource& r) {
                return r.data.lines[static_cast<size_t>(picture - 1)].fields[field];
            });
            const QString name = QStringLiteral("p%1_%2").arg(p, QLatin1String(fieldNames[field]));
            if (field == 3) {
                add(name, raw,
                    {QStringLiteral("a(z) %1. kép zárójeles jelölése, ahogy a fájl tárolja").arg(p),
                     QStringLiteral("picture %1, parenthesized mark as stored").arg(p), text, QString()});
                continue;
            }
            const QString label = QLatin1String(kTypeLabels[field]);
            add(name, raw,
                {QStringLiteral("a(z) %1. kép %2 mezője, ahogy a fájl tárolja").arg(p, label),
                 QStringLiteral("picture %1, field %2 as stored").arg(p, label), text,
                 QStringLiteral("legfeljebb két kód egymás után / up to two codes in a row: %1")
                     .arg(QLatin1String(fieldCodes[field]))});
        }
    }

    const QString points = QStringLiteral("pont / points");
    const QString percent = QStringLiteral("% (a jelölt képek százaléka / of the scored pictures)");
    const QString classes = QStringLiteral("<Q1, Q1/Mdn, Mdn, Mdn/Q3, >Q3");
    eval(QStringLiteral("complete"), textCell([](const RowSource& r) {
             return protocolRefusal(r.coding, r.data.personal.age) == ProtocolRefusal::None ? QStringLiteral("1")
                                                                                            : QStringLiteral("0");
         }),
         {QStringLiteral("készülne-e jegyzőkönyv (legalább 18 jelölt kép, 7–14 év)"),
          QStringLiteral("whether a protocol would be made (at least 18 marked pictures, age 7–14)"),
          QStringLiteral("0/1"), QStringLiteral("1 = igen / yes, 0 = nem / no")});
    for (int picture = 1; picture <= kPictureCount; ++picture) {
        const QString p = QString::number(picture);
        eval(QStringLiteral("points_") + p,
             numberCell([picture](const RowSource& r) { return r.coding.point(picture); }),
             {QStringLiteral("a(z) %1. kép GCR-pontja").arg(p), QStringLiteral("GCR point of picture %1").arg(p),
              number, QStringLiteral("0 / 0") + mark + QStringLiteral("5 / 1")});
    }
    eval(QStringLiteral("gcr_points"), numberCell([](const RowSource& r) { return r.coding.gcrPoints(); }),
         {QStringLiteral("GCR-pontszám (a 24 kép pontjainak összege)"),
          QStringLiteral("GCR points (sum of the 24 pictures' points)"), number, QStringLiteral("0–24")});
    eval(QStringLiteral("scored_picture_count"),
         numberCell([](const RowSource& r) { return r.result.scoredPictureCount; }),
         {QStringLiteral("az értékelt (jelölt) képek száma; jelölt kép nélkül 1"),
          QStringLiteral("number of scored (marked) pictures; 1 when none is marked"), integer,
          QStringLiteral("1–24")});

    for (size_t d = 0; d < 3; ++d) {
        for (size_t t = 0; t < 3; ++t) {
            const QString dir = QLatin1String(kDirections[d]);
            const QString type = QLatin1String(kTypeLabels[t]);
            eval(QStringLiteral("cell_score_%1_%2").arg(dir, QLatin1String(kTypes[t])),
                 numberCell([d, t](const RowSource& r) { return r.result.cellScore[d][t]; }),
                 {QStringLiteral("a(z) %1 irány %2 oszlopának pontszáma").arg(dir, type),
                  QStringLiteral("score of direction %1 in column %2").arg(dir, type), number, points});
        }
    }
    for (size_t t = 0; t < 3; ++t) {
        const QString type = QLatin1String(kTypeLabels[t]);
        eval(QStringLiteral("column_total_") + QLatin1String(kTypes[t]),
             numberCell([t](const RowSource& r) { return r.result.columnTotal[t]; }),
             {QStringLiteral("a(z) %1 oszlop pontszáma").arg(type),
              QStringLiteral("total score of column %1").arg(type), number, points});
    }
    for (size_t d = 0; d < 3; ++d) {
        const QString dir = QLatin1String(kDirections[d]);
        eval(QStringLiteral("row_total_") + dir, numberCell([d](const RowSource& r) { return r.result.rowTotal[d]; }),
             {QStringLiteral("a(z) %1 irány pontszáma").arg(dir),
              QStringLiteral("total score of direction %1").arg(dir), number, points});
    }
    for (size_t t = 0; t < 3; ++t) {
        const QString type = QLatin1String(kTypeLabels[t]);
        eval(QStringLiteral("column_percent_") + QLatin1String(kTypes[t]),
             numberCell([t](const RowSource& r) { return r.result.columnPercent[t]; }),
             {QStringLiteral("a(z) %1 oszlop százaléka, egészre kerekítve (a harmadik a 100 maradéka)").arg(type),
              QStringLiteral("column %1 in percent, rounded to a whole number (the third is what the other two "
                             "leave of 100)")
                  .arg(type),
              number, percent});
    }
    for (size_t d = 0; d < 3; ++d) {
        const QString dir = QLatin1String(kDirections[d]);
        eval(QStringLiteral("row_percent_") + dir,
             numberCell([d](const RowSource& r) { return r.result.rowPercent[d]; }),
             {QStringLiteral("a(z) %1 irány százaléka, egészre kerekítve (a harmadik a 100 maradéka)").arg(dir),
              QStringLiteral("direction %1 in percent, rounded to a whole number (the third is what the other two "
                             "leave of 100)")
                  .arg(dir),
              number, percent});
    }
    for (size_t t = 0; t < 3; ++t) {
        const QString type = QLatin1String(kTypeLabels[t]);
        eval(QStringLiteral("column_class_") + QLatin1String(kTypes[t]), textCell([t](const RowSource& r) {
                 return ResultText::quartileClass(r.result.columnClass[t], Form::Plain);
             }),
             {QStringLiteral("a(z) %1 oszlop százalékának helye a korcsoport normájában").arg(type),
              QStringLiteral("where column %1's percentage lies in the age bracket's norms").arg(type), text, classes});
    }
    for (size_t d = 0; d < 3; ++d) {
        const QString dir = QLatin1String(kDirections[d]);
        eval(QStringLiteral("row_class_") + dir,
             textCell([d](const RowSource& r) { return ResultText::quartileClass(r.result.rowClass[d], Form::Plain); }),
             {QStringLiteral("a(z) %1 irány százalékának helye a korcsoport normájában").arg(dir),
              QStringLiteral("where direction %1's percentage lies in the age bracket's norms").arg(dir), text,
              classes});
    }
    eval(QStringLiteral("gcr_percent"), numberCell([](const RowSource& r) { return r.result.gcrPercent; }),
         {QStringLiteral("GCR-százalék, egészre kerekítve"),
          QStringLiteral("GCR percentage, rounded to a whole number"), integer, percent});
    eval(QStringLiteral("gcr_class"),
         textCell([](const RowSource& r) { return ResultText::gcrClass(r.result.gcrClass); }),
         {QStringLiteral("a GCR-százalék minősítése a korcsoport normájában"),
          QStringLiteral("rating of the GCR percentage in the age bracket's norms"), text,
          QStringLiteral("normál, alacsony, magas, extrém magas")});

    for (size_t k = 0; k < 6; ++k) {
        const QString index = QString::number(k + 1);
        const auto [hu, en] = superegoMeaning(static_cast<int>(k) + 1);
        eval(QStringLiteral("superego_score_") + index,
             numberCell([k](const RowSource& r) { return r.result.superegoScore[k]; }),
             {QStringLiteral("a(z) %1. felettes-én mutató pontszáma; a mutató: %2").arg(index, hu),
              QStringLiteral("superego index %1, score; the index is %2").arg(index, en), number, points});
    }
    for (size_t k = 0; k < 6; ++k) {
        const QString index = QString::number(k + 1);
        const auto [hu, en] = superegoMeaning(static_cast<int>(k) + 1);
        eval(QStringLiteral("superego_percent_") + index,
             numberCell([k](const RowSource& r) { return r.result.superegoPercent[k]; }),
             {QStringLiteral("a(z) %1. felettes-én mutató (%2) százaléka, egészre kerekítve").arg(index, hu),
              QStringLiteral("superego index %1 (%2) in percent, rounded to a whole number").arg(index, en), number,
              percent});
    }
    for (size_t k = 0; k < 6; ++k) {
        const QString index = QString::number(k + 1);
        const auto [hu, en] = superegoMeaning(static_cast<int>(k) + 1);
        eval(QStringLiteral("superego_class_") + index, textCell([k](const RowSource& r) {
                 return ResultText::quartileClass(r.result.superegoClass[k], Form::Plain);
             }),
             {QStringLiteral("a(z) %1. felettes-én mutató (%2) helye a korcsoport normájában").arg(index, hu),
              QStringLiteral("where superego index %1 (%2) lies in the age bracket's norms").arg(index, en), text,
              classes});
    }

    for (int row = 1; row <= static_cast<int>(std::tuple_size<decltype(R::trendRatio)>::value); ++row) {
        for (int place = 1; place <= 3; ++place) {
            const QString a = QString::number(row);
            const QString b = QString::number(place);
            const CellWriter trend = textCell([row, place](const RowSource& r) {
                return ResultText::trend(r.result, row, place, r.mark, Form::Plain);
            });
            const QString name = QStringLiteral("trend_text_%1_%2").arg(a, b);
            const TrendPlace* counted = trendPlace(row, place);
            if (!counted) {
                eval(name, trend,
                     {QStringLiteral("tendencia, %1. sor %2. hely (ennek a sornak nincs mértéke, mindig \"nincs\")")
                          .arg(a, b),
                      QStringLiteral("trend, row %1, place %2 (this row has no measure; always \"nincs\")").arg(a, b),
                      text, QStringLiteral("nincs")});
                continue;
            }
            const QString ratio = QStringLiteral("0") + mark + QStringLiteral("3333");
            const QString limit = QStringLiteral("0") + mark + QStringLiteral("33");
            eval(name, trend,
                 {QStringLiteral("tendencia, %1. sor %2. hely: %3. F és L a képek száma az 1–12., illetve a 13–24. "
                                 "képek közt; ha F vagy L legalább 4 és r = (F − L) / (F + L) abszolút értéke "
                                 "legalább %4, akkor r (legfeljebb négy tizedesre) és a nyíl mutatja, melyik félben "
                                 "több, különben \"nincs\"")
                      .arg(a, b, QString::fromUtf8(counted->countedHu), limit),
                  QStringLiteral("trend, row %1, place %2: %3. F and L count the pictures among 1–12 and 13–24; "
                                 "when F or L is at least 4 and r = (F − L) / (F + L) is at least %4 in absolute "
                                 "value, r (to at most four decimals) and the arrow show which half has more, else "
                                 "\"nincs\"")
                      .arg(a, b, QString::fromUtf8(counted->countedEn), limit),
                  text,
                  QStringLiteral("nincs; \"%1 -> %2\" (több az első félben / more in the first half); \"%2 <- -%1\" "
                                 "(több a második félben / more in the second half)")
                      .arg(ratio, Evaluation::trendLabel(row, place))});
        }
    }

    for (size_t i = 0; i < 3; ++i) {
        const QString place = QString::number(i + 1);
        eval(QStringLiteral("top_cell_%1_score").arg(place),
             numberCell([i](const RowSource& r) { return r.result.topCell[i].score; }),
             {QStringLiteral("a totális mutató %1. legnagyobb cellájának pontszáma").arg(place),
              QStringLiteral("total index: score of cell %1 in descending order").arg(place), number, points});
        eval(
            QStringLiteral("top_cell_%1_code").arg(place),
            textCell([i](const RowSource& r) { return r.result.topCell[i].code; }),
            {QStringLiteral("a totális mutató %1. legnagyobb cellájának kódja (üres, ha nincs ilyen cella)").arg(place),
             QStringLiteral("total index: code of cell %1 in descending order (empty when there is none)").arg(place),
             text, QStringLiteral("EV, IV, MV, NE, NI, NM, KE, KI, KM")});
    }
    eval(QStringLiteral("total_index_text"),
         textCell([](const RowSource& r) { return ResultText::totalIndex(r.result.topCell, r.mark, Form::Plain); }),
         {QStringLiteral("a totális mutató, ahogy a jegyzőkönyv írja"),
          QStringLiteral("the total index as the protocol writes it"), text,
          QStringLiteral("például / e.g. NE(7") + mark + QStringLiteral("5) > MV(4) = KE(4)")});
    for (char index = 'a'; index <= 'e'; ++index) {
        const QString letter = QString(QLatin1Char(index));
        const auto [hu, en] = rauchfleischMeaning(letter);
        eval(QStringLiteral("rauchfleisch_") + letter,
             [index](CsvWriter& out, const RowSource& r) {
                 const std::optional<double> value = rauchfleischIndex(r.result, index);
                 if (value)
                     out.addNumber(*value);
                 else
                     out.addField(QString());
             },
             {QStringLiteral("a Rauchfleisch-féle \"%1\" mutató: %2; üres, ha az osztó 0").arg(letter, hu),
              QStringLiteral("Rauchfleisch index \"%1\": %2; empty when the divisor is 0").arg(letter, en), number,
              QStringLiteral("hányados / ratio")});
    }

    // A row that could not be read or evaluated holds its file and this alone.
    add(QStringLiteral("error"), [](CsvWriter& out, const RowSource&) { out.addField(QString()); },
        {QStringLiteral("a beolvasás vagy a kiértékelés hibaüzenete; üres, ha nem volt hiba"),
         QStringLiteral("the reading or evaluation error; empty when there was none"), text, QString()});
    return c;
}

} // namespace

QStringList ArchiveExport::columns(bool anonymize) {
    QStringList names;
    for (const Column& column : columnTable(anonymize, QLatin1Char('.')))
        names << column.name;
    return names;
}

namespace {

// The rows [from, to) of the table, row r holding files[order[r]]: the table's text and the errors
// met, each with its file's place in files.
struct RowBlock {
    qsizetype from = 0;
    qsizetype to = 0;
    CsvWriter rows;
    QList<std::pair<qsizetype, QString>> errors;
    std::exception_ptr failure; // anything but a UserError, handed to the caller's thread
};

void buildRows(const QStringList& files, const std::vector<qsizetype>& order, qsizetype from, qsizetype to,
               const GcrKey& key, const ArchiveExport::Options& options, const std::vector<Column>& columns,
               RowBlock& block) {
    const QChar mark = options.dialect.decimalMark;
    const bool anonymize = options.anonymize;
    CsvWriter& table = block.rows;
    for (qsizetype index = from; index < to; ++index) {
        const qsizetype fileIndex = order[static_cast<size_t>(index)];
        const QString& path = files.at(fileIndex);
        const QString serial = serialCode(index);
        EvaluatedExamination examination;
        try {
            examination = EvaluatedExamination::read(path, key);
            examination.evaluation();
        } catch (const UserError& e) {
            // Only the file (the serial code when anonymized) and the message.
            table.addField(anonymize ? serial : path);
            for (size_t i = 1; i + 1 < columns.size(); ++i)
                table.addField(QString());
            table.addField(anonymize ? anonymousMessage(e.text(), path, ExaminationFile::codeFromPath(path), serial)
                                     : e.text());
            table.endRow();
            block.errors.append({fileIndex, path + QStringLiteral(": ") + e.text()});
            continue;
        }
        const RowSource source{path, serial, examination.data, examination.coding, *examination.result, mark};
        for (const Column& column : columns)
            column.write(table, source);
        table.endRow();
    }
}

} // namespace

ArchiveExport::Result ArchiveExport::build(const QStringList& files, const GcrKey& key, const Options& options) {
    const std::vector<Column> columns = columnTable(options.anonymize, options.dialect.decimalMark);
    QStringList header;
    for (const Column& column : columns)
        header << column.name;

    // Every row depends on its own file alone, so a large archive is split into contiguous
    // blocks read and evaluated on every core, then joined in the table's order. More blocks than
    // cores keep every core busy when another program takes one of them for a while.
    constexpr qsizetype kFilesPerBlock = 500;
    const qsizetype blockCount = std::max<qsizetype>(1, files.size() / kFilesPerBlock);
    // Anonymized, the serials are dealt in an order nobody can reproduce and the rows follow the
    // serials, so neither a serial nor a row's place says which file it came from.
    std::vector<qsizetype> order(static_cast<size_t>(files.size()));
    std::iota(order.begin(), order.end(), 0);
    if (options.anonymize)
        std::shuffle(order.begin(), order.end(), *QRandomGenerator::system());
    std::vector<RowBlock> blocks;
    blocks.reserve(static_cast<size_t>(blockCount));
    for (qsizetype b = 0; b < blockCount; ++b)
        blocks.push_back(
            {files.size() * b / blockCount, files.size() * (b + 1) / blockCount, CsvWriter(options.dialect), {}, {}});
    QtConcurrent::blockingMap(blocks, [&](RowBlock& block) {
        try {
            buildRows(files, order, block.from, block.to, key, options, columns, block);
        } catch (...) {
            block.failure = std::current_exception();
        }
    });

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
    for (const Column& column : columns) {
        const Description& d = column.description;
        codebook.addRow({column.name, d.hu, d.en, d.type, d.values});
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
    // The table, its codebook and the link table describe each other: no table may stand beside
    // another export's codebook or link table, a crash included.
    QList<ExportSet::File> files;
    for (const auto& [path, bytes] : std::as_const(targets))
        files.append({path, *bytes});
    ExportSet::write(files);
}
