#pragma once

#include "render/Csv.h"
#include "services/ExportCodebook.h"

#include <QChar>
#include <QString>

#include <functional>
#include <vector>

class Coding;
struct EvaluationResult;
struct ExaminationData;

// One examination as the columns read it.
struct RowSource {
    const QString& path;
    const QString& serial;
    const ExaminationData& data;
    const Coding& coding;
    const EvaluationResult& result;
    QChar mark;
};

// One column of the archive export: its name, how a row's cell is written, and its line in the
// codebook.
struct ExportColumn {
    QString name;
    std::function<void(CsvWriter&, const RowSource&)> write;
    Description description;
};

// Every column in order: the personal data, the raw fields of the 24 ScoringLines, the
// evaluation in the order of the protocol (directions E I M, columns O-D E-D N-P), the error.
// Anonymized, there is no file, name or examiner column.
std::vector<ExportColumn> exportColumns(bool anonymize, QChar mark);
