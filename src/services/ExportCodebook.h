#pragma once

#include <QString>

// A column's line in the codebook: what it holds in Hungarian and in English, its type and the
// values it takes.
struct Description {
    QString hu;
    QString en;
    QString type;
    QString values;
};

// The codebook of the archive export: the bilingual text of every column, here and nowhere else
// (ExportColumns pairs each with its column). Directions are 0..2 (E, I, M), columns 0..2 (O-D,
// E-D, N-P); mark is the decimal mark the table's numbers are written with.
namespace ExportCodebook {

Description file();
Description code(bool anonymize);
// The code column of the institution archive's research rows.
Description pseudonym();
Description name();
Description sex();
Description age();
Description date(bool anonymize);
Description examiner();
// Field 0..3 of a picture's ScoringLine: the three columns, then the parenthesized mark.
Description rawField(int picture, int field);

Description complete();
Description picturePoint(int picture, QChar mark);
Description gcrPoints();
Description scoredPictureCount();
Description cellScore(int direction, int column);
Description columnTotal(int column);
Description rowTotal(int direction);
Description columnPercent(int column);
Description rowPercent(int direction);
Description columnClass(int column);
Description rowClass(int direction);
Description gcrPercent();
Description gcrClass();
// Superego index 1..6.
Description superegoScore(int index);
Description superegoPercent(int index);
Description superegoClass(int index);
// Row 1..4 (and the rows without a measure), place 1..3.
Description trend(int row, int place, QChar mark);
// Place 1..3 of the total index.
Description topCellScore(int place);
Description topCellCode(int place);
Description totalIndex(QChar mark);
// Index 'a'..'e'.
Description rauchfleisch(char index);
Description error();

} // namespace ExportCodebook
