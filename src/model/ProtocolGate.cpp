#include "model/ProtocolGate.h"

#include "model/AgeBrackets.h"
#include "model/Coding.h"

bool ProtocolGate::ageHasNorms(int age) {
    return AgeBrackets::covers(age);
}

ProtocolRefusal ProtocolGate::refusal(int markedPictures, int age) {
    if (markedPictures < kMinimumMarkedPictures)
        return ProtocolRefusal::TooFewMarked;
    return ageHasNorms(age) ? ProtocolRefusal::None : ProtocolRefusal::AgeOutsideNorms;
}

ProtocolRefusal ProtocolGate::refusal(const Coding& coding, int age) {
    return refusal(coding.markedPictureCount(), age);
}

QString ProtocolGate::tooFewMarkedText(int markedPictures) {
    return QStringLiteral("Kevés a lejelölt válasz, mindössze %1.").arg(markedPictures);
}

QString ProtocolGate::minimumMarkedText() {
    return QStringLiteral("Legalább %1 lejelölt válasz szükséges!").arg(kMinimumMarkedPictures);
}

QString ProtocolGate::ageOutsideNormsText(int age) {
    return AgeBrackets::outsideText(age) + QStringLiteral("; a jegyzőkönyv nem készíthető el.");
}

QString ProtocolGate::refusalText(ProtocolRefusal refusal, int markedPictures, int age) {
    switch (refusal) {
    case ProtocolRefusal::TooFewMarked:
        return tooFewMarkedText(markedPictures) + QLatin1Char(' ') + minimumMarkedText();
    case ProtocolRefusal::AgeOutsideNorms:
        return ageOutsideNormsText(age);
    case ProtocolRefusal::None:
        break;
    }
    return QString();
}
