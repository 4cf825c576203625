#pragma once

#include "formats/ExaminationFile.h"
#include "model/GcrKey.h"

// The examinations the benchmarks measure: the same every run, so runs compare.
namespace BenchExaminations {

constexpr int kCount = 10000;

// A small deterministic generator.
class Lcg {
public:
    explicit Lcg(quint64 seed) : m_state(seed) {}
    quint32 next(quint32 bound);

private:
    quint64 m_state;
};

// Examination n: one picture in ten unmarked, three in ten with a second code in the same or
// another column; age 7-14, a fixed date and examiner, a one-line answer to every picture.
ExaminationData generate(Lcg& rng, int n);
// A key with single, double and missing entries, and the file that holds it.
GcrKey key();
QByteArray keyBytes();

// Examinations 0 to count - 1 as K000000.kvx, ... in the folder (made when missing), written
// without the atomic write's sync: a benchmark's throw-away files.
void writeArchive(const QString& folder, int count);

} // namespace BenchExaminations
