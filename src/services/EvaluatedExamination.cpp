#include "services/EvaluatedExamination.h"

#include "base/UserError.h"
#include "model/Evaluate.h"

EvaluatedExamination EvaluatedExamination::read(const QString& path, const GcrKey& key) {
    EvaluatedExamination examination;
    examination.data = ExaminationFile::read(path);
    examination.coding = Coding(key, examination.data.lines);
    const int age = examination.data.personal.age;
    examination.refusal = ProtocolGate::refusal(examination.coding, age);
    if (ProtocolGate::ageHasNorms(age))
        examination.result = evaluate(examination.coding, age);
    return examination;
}

const EvaluationResult& EvaluatedExamination::evaluation() const {
    if (!result)
        throw UserError(ProtocolGate::ageOutsideNormsText(data.personal.age));
    return *result;
}
