#include "services/ExaminationComparison.h"

#include "services/ArchiveListing.h"
#include "services/EvaluatedExamination.h"

#include <algorithm>

ComparedExamination ExaminationComparison::examine(const QString& path, const GcrKey& key) {
    EvaluatedExamination read = EvaluatedExamination::read(path, key);
    ComparedExamination e;
    e.path = path;
    e.personal = read.data.personal;
    e.coding = std::move(read.coding);
    e.date = ArchiveListing::examinationDate(e.personal.date);
    e.refusal = read.refusal;
    // An examination with too few marked pictures is evaluated all the same; it still has no
    // protocol, so it has no place among the values compared.
    if (e.refusal == ProtocolRefusal::None)
        e.result = std::move(read.result);
    return e;
}

Comparison ExaminationComparison::compare(std::vector<ComparedExamination> examinations) {
    std::stable_sort(examinations.begin(), examinations.end(),
                     [](const ComparedExamination& a, const ComparedExamination& b) {
                         if (a.date.isValid() != b.date.isValid())
                             return a.date.isValid();
                         return a.date.isValid() && a.date < b.date;
                     });
    Comparison comparison;
    comparison.examinations = std::move(examinations);
    const ComparedExamination* baseline = comparison.baseline();
    if (!baseline)
        return comparison;
    std::vector<ComparedExamination>& all = comparison.examinations;
    const auto first = all.begin() + (baseline - all.data());
    const EvaluationNumbers from = EvaluationNumbers::of(first->coding, first->personal.age, *first->result);
    for (auto later = first + 1; later != all.end(); ++later) {
        if (later->evaluated())
            later->change = EvaluationNumbers::of(later->coding, later->personal.age, *later->result).minus(from);
    }
    return comparison;
}

Comparison ExaminationComparison::read(const QStringList& paths, const GcrKey& key) {
    std::vector<ComparedExamination> examinations;
    for (const QString& path : paths)
        examinations.push_back(examine(path, key));
    return compare(std::move(examinations));
}
