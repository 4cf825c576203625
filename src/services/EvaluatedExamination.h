#pragma once

#include "formats/ExaminationFile.h"
#include "model/Coding.h"
#include "model/EvaluationResult.h"
#include "model/ProtocolGate.h"

#include <optional>

class GcrKey;

// An examination file read, coded under a key and evaluated: the one way from a file to its
// values, for the command line, the export, the archive listing, its norms and the commands.
struct EvaluatedExamination {
    ExaminationData data;
    Coding coding;
    // What the protocol gate says of it.
    ProtocolRefusal refusal = ProtocolRefusal::None;
    // The evaluation; none when the age has no norms (the only case evaluate() refuses).
    std::optional<EvaluationResult> result;

    // Raises UserError when the file cannot be read; nothing is evaluated then.
    static EvaluatedExamination read(const QString& path, const GcrKey& key);
    // The same from the file's bytes, read already (path names it in messages).
    static EvaluatedExamination parse(const QByteArray& bytes, const QString& path, const GcrKey& key);
    // The same from an examination's data, wherever they came from.
    static EvaluatedExamination fromData(ExaminationData data, const GcrKey& key);
    // The evaluation, or the age refusal raised as UserError.
    const EvaluationResult& evaluation() const;
};
