#include "model/ProtocolGate.h"

#include "model/Coding.h"
#include "model/Norms.h"

bool ProtocolGate::ageHasNorms(int age) {
    return normTableForAge(age).has_value();
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
    return QStringLiteral("Az életkor (%1) kívül esik a 7–14 éves normatartományon; a jegyzőkönyv nem készíthető el.")
        .arg(age);
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

ProtocolRefusal protocolRefusal(const Coding& coding, qint32 age) {
    return ProtocolGate::refusal(coding, age);
}
