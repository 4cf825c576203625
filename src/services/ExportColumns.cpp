#include "services/ExportColumns.h"

#include "formats/ExaminationFile.h"
#include "model/Coding.h"
#include "model/Evaluate.h"
#include "model/ProtocolGate.h"
#include "render/ResultText.h"
#include "services/HungarianDate.h"

#include <tuple>

namespace {

using CellWriter = std::function<void(CsvWriter&, const RowSource&)>;
using Form = ResultText::Form;

const char* const kDirections[3] = {"E", "I", "M"};
const char* const kColumns[3] = {"OD", "ED", "NP"};

// "2024.05.06." or "2024. május 6." -> "2024.05."; any other text may hold anything, a name
// too, so it says nothing.
QString yearAndMonth(const QString& date) {
    const std::optional<QDate> parsed = HungarianDate::parse(date);
    return parsed ? parsed->toString(QStringLiteral("yyyy.MM.")) : QString();
}

template <typename Get>
CellWriter numberCell(Get get) {
    return [get](CsvWriter& out, const RowSource& row) { out.addNumber(get(row)); };
}

template <typename Get>
CellWriter textCell(Get get) {
    return [get](CsvWriter& out, const RowSource& row) { out.addField(get(row)); };
}

// The columns as they are listed; eval() names a value of the evaluation.
struct Columns {
    std::vector<ExportColumn> list;
    void add(const QString& name, CellWriter write, Description description) {
        list.push_back({name, std::move(write), std::move(description)});
    }
    void eval(const QString& name, CellWriter write, Description description) {
        add(QStringLiteral("eval_") + name, std::move(write), std::move(description));
    }
};

void addPersonalData(Columns& c, bool anonymize) {
    if (!anonymize)
        c.add(QStringLiteral("file"), textCell([](const RowSource& r) { return r.path; }), ExportCodebook::file());
    c.add(QStringLiteral("code"),
          textCell([anonymize](const RowSource& r) { return anonymize ? r.serial : r.data.personal.code; }),
          ExportCodebook::code(anonymize));
    if (!anonymize)
        c.add(QStringLiteral("name"), textCell([](const RowSource& r) { return r.data.personal.name; }),
              ExportCodebook::name());
    c.add(QStringLiteral("sex"), textCell([](const RowSource& r) {
              return r.data.personal.sex == PersonalData::Sex::Boy ? QStringLiteral("boy") : QStringLiteral("girl");
          }),
          ExportCodebook::sex());
    c.add(QStringLiteral("age"), numberCell([](const RowSource& r) { return r.data.personal.age; }),
          ExportCodebook::age());
    c.add(QStringLiteral("date"), textCell([anonymize](const RowSource& r) {
              return anonymize ? yearAndMonth(r.data.personal.date) : r.data.personal.date;
          }),
          ExportCodebook::date(anonymize));
    if (!anonymize)
        c.add(QStringLiteral("examiner"), textCell([](const RowSource& r) { return r.data.personal.examiner; }),
              ExportCodebook::examiner());
}

void addRawLines(Columns& c) {
    static const char* const fieldNames[4] = {"od", "ed", "np", "paren"};
    for (int picture = 1; picture <= kPictureCount; ++picture) {
        for (size_t field = 0; field < 4; ++field) {
            c.add(QStringLiteral("p%1_%2").arg(picture).arg(QLatin1String(fieldNames[field])),
                  textCell([picture, field](const RowSource& r) {
                      return r.data.lines[static_cast<size_t>(picture - 1)].fields[field];
                  }),
                  ExportCodebook::rawField(picture, static_cast<int>(field)));
        }
    }
}

void addPoints(Columns& c, QChar mark) {
    c.eval(QStringLiteral("complete"), textCell([](const RowSource& r) {
               return ProtocolGate::refusal(r.coding, r.data.personal.age) == ProtocolRefusal::None
                          ? QStringLiteral("1")
                          : QStringLiteral("0");
           }),
           ExportCodebook::complete());
    for (int picture = 1; picture <= kPictureCount; ++picture)
        c.eval(QStringLiteral("points_") + QString::number(picture),
               numberCell([picture](const RowSource& r) { return r.coding.point(picture); }),
               ExportCodebook::picturePoint(picture, mark));
    c.eval(QStringLiteral("gcr_points"), numberCell([](const RowSource& r) { return r.coding.gcrPoints(); }),
           ExportCodebook::gcrPoints());
    c.eval(QStringLiteral("scored_picture_count"),
           numberCell([](const RowSource& r) { return r.result.scoredPictureCount; }),
           ExportCodebook::scoredPictureCount());
}

// The scores and percentages of the profile and where they lie in the norms.
void addProfile(Columns& c) {
    for (size_t d = 0; d < 3; ++d)
        for (size_t t = 0; t < 3; ++t)
            c.eval(QStringLiteral("cell_score_%1_%2").arg(QLatin1String(kDirections[d]), QLatin1String(kColumns[t])),
                   numberCell([d, t](const RowSource& r) { return r.result.cellScore[d][t]; }),
                   ExportCodebook::cellScore(static_cast<int>(d), static_cast<int>(t)));
    const auto byColumn = [&c](const char* name, auto get, Description (*describe)(int)) {
        for (size_t t = 0; t < 3; ++t)
            c.eval(QLatin1String(name) + QLatin1String(kColumns[t]),
                   numberCell([get, t](const RowSource& r) { return get(r.result)[t]; }),
                   describe(static_cast<int>(t)));
    };
    const auto byDirection = [&c](const char* name, auto get, Description (*describe)(int)) {
        for (size_t d = 0; d < 3; ++d)
            c.eval(QLatin1String(name) + QLatin1String(kDirections[d]),
                   numberCell([get, d](const RowSource& r) { return get(r.result)[d]; }),
                   describe(static_cast<int>(d)));
    };
    byColumn(
        "column_total_", [](const EvaluationResult& r) { return r.columnTotal; }, &ExportCodebook::columnTotal);
    byDirection(
        "row_total_", [](const EvaluationResult& r) { return r.rowTotal; }, &ExportCodebook::rowTotal);
    byColumn(
        "column_percent_", [](const EvaluationResult& r) { return r.columnPercent; }, &ExportCodebook::columnPercent);
    byDirection(
        "row_percent_", [](const EvaluationResult& r) { return r.rowPercent; }, &ExportCodebook::rowPercent);
    for (size_t t = 0; t < 3; ++t)
        c.eval(QStringLiteral("column_class_") + QLatin1String(kColumns[t]), textCell([t](const RowSource& r) {
                   return ResultText::quartileClass(r.result.columnClass[t], Form::Plain);
               }),
               ExportCodebook::columnClass(static_cast<int>(t)));
    for (size_t d = 0; d < 3; ++d)
        c.eval(QStringLiteral("row_class_") + QLatin1String(kDirections[d]), textCell([d](const RowSource& r) {
                   return ResultText::quartileClass(r.result.rowClass[d], Form::Plain);
               }),
               ExportCodebook::rowClass(static_cast<int>(d)));
    c.eval(QStringLiteral("gcr_percent"), numberCell([](const RowSource& r) { return r.result.gcrPercent; }),
           ExportCodebook::gcrPercent());
    c.eval(QStringLiteral("gcr_class"),
           textCell([](const RowSource& r) { return ResultText::gcrClass(r.result.gcrClass); }),
           ExportCodebook::gcrClass());
}

void addSuperego(Columns& c) {
    for (size_t k = 0; k < 6; ++k)
        c.eval(QStringLiteral("superego_score_%1").arg(k + 1),
               numberCell([k](const RowSource& r) { return r.result.superegoScore[k]; }),
               ExportCodebook::superegoScore(static_cast<int>(k) + 1));
    for (size_t k = 0; k < 6; ++k)
        c.eval(QStringLiteral("superego_percent_%1").arg(k + 1),
               numberCell([k](const RowSource& r) { return r.result.superegoPercent[k]; }),
               ExportCodebook::superegoPercent(static_cast<int>(k) + 1));
    for (size_t k = 0; k < 6; ++k)
        c.eval(QStringLiteral("superego_class_%1").arg(k + 1), textCell([k](const RowSource& r) {
                   return ResultText::quartileClass(r.result.superegoClass[k], Form::Plain);
               }),
               ExportCodebook::superegoClass(static_cast<int>(k) + 1));
}

void addTrends(Columns& c, QChar mark) {
    const int rows = static_cast<int>(std::tuple_size<decltype(EvaluationResult::trendRatio)>::value);
    for (int row = 1; row <= rows; ++row)
        for (int place = 1; place <= 3; ++place)
            c.eval(QStringLiteral("trend_text_%1_%2").arg(row).arg(place), textCell([row, place](const RowSource& r) {
                       return ResultText::trend(r.result, row, place, r.mark, Form::Plain);
                   }),
                   ExportCodebook::trend(row, place, mark));
}

// The total index and the Rauchfleisch indices.
void addIndices(Columns& c, QChar mark) {
    for (size_t i = 0; i < 3; ++i) {
        c.eval(QStringLiteral("top_cell_%1_score").arg(i + 1),
               numberCell([i](const RowSource& r) { return r.result.topCell[i].score; }),
               ExportCodebook::topCellScore(static_cast<int>(i) + 1));
        c.eval(QStringLiteral("top_cell_%1_code").arg(i + 1),
               textCell([i](const RowSource& r) { return r.result.topCell[i].code; }),
               ExportCodebook::topCellCode(static_cast<int>(i) + 1));
    }
    c.eval(QStringLiteral("total_index_text"),
           textCell([](const RowSource& r) { return ResultText::totalIndex(r.result.topCell, r.mark, Form::Plain); }),
           ExportCodebook::totalIndex(mark));
    for (char index = 'a'; index <= 'e'; ++index)
        c.eval(
            QStringLiteral("rauchfleisch_") + QLatin1Char(index),
            [index](CsvWriter& out, const RowSource& r) {
                const std::optional<double> value = rauchfleischIndex(r.result, index);
                if (value)
                    out.addNumber(*value);
                else
                    out.addField(QString());
            },
            ExportCodebook::rauchfleisch(index));
}

} // namespace

std::vector<ExportColumn> exportColumns(bool anonymize, QChar mark) {
    Columns c;
    addPersonalData(c, anonymize);
    addRawLines(c);
    addPoints(c, mark);
    addProfile(c);
    addSuperego(c);
    addTrends(c, mark);
    addIndices(c, mark);
    // A row that could not be read or evaluated holds its file and this alone.
    c.add(
        QStringLiteral("error"), [](CsvWriter& out, const RowSource&) { out.addField(QString()); },
        ExportCodebook::error());
    return std::move(c.list);
}
