#include "model/Comparison.h"

QString ComparedExamination::refusalText() const {
    return ProtocolGate::refusalText(refusal, coding.markedPictureCount(), personal.age);
}

const ComparedExamination* Comparison::baseline() const {
    for (const ComparedExamination& e : examinations) {
        if (e.evaluated())
            return &e;
    }
    return nullptr;
}
