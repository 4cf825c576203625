#include "services/EvaluatedExamination.h"

#include "base/TextFile.h"
#include "base/UserError.h"
#include "model/Evaluate.h"

EvaluatedExamination EvaluatedExamination::read(const QString& path, const GcrKey& key) {
    return parse(TextFile::readBytes(path), path, key);
}

EvaluatedExamination EvaluatedExamination::parse(const QByteArray& bytes, const QString& path, const GcrKey& key) {
    return fromData(ExaminationFile::parse(bytes, path), key);
}

EvaluatedExamination EvaluatedExamination::fromData(ExaminationData data, const GcrKey& key) {
    EvaluatedExamination examination;
    examination.data = std::move(data);
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
