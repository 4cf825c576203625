#pragma once

#include "model/Comparison.h"

#include <QString>
#include <QStringList>
#include <vector>

class GcrKey;

// Builds a comparison from examination files: each read and evaluated as every other reader of
// the program does, the protocol's gate deciding which take part in the changes.
namespace ExaminationComparison {

// One examination file under the key. Raises UserError when the file cannot be read.
ComparedExamination examine(const QString& path, const GcrKey& key);

// The examinations ordered by their date (one whose date cannot be read after the dated ones,
// ties and undated ones in the order given), each evaluated one after the first evaluated one
// with its change from it.
Comparison compare(std::vector<ComparedExamination> examinations);

// compare() of the files read under the key. Raises the UserError of the first file that
// cannot be read (its message names the file).
Comparison read(const QStringList& paths, const GcrKey& key);

} // namespace ExaminationComparison
