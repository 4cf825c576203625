#include "platform/Cp1250.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {
const char* const kName = "windows-1250";
}

bool Cp1250::available() {
    QStringDecoder decoder(kName);
    QStringEncoder encoder(kName);
    return decoder.isValid() && encoder.isValid();
}

QString Cp1250::decode(const QByteArray& bytes) {
    QStringDecoder decoder(kName, QStringDecoder::Flag::Stateless);
    return decoder.decode(bytes);
}

QByteArray Cp1250::encode(const QString& text) {
    QStringEncoder encoder(kName, QStringEncoder::Flag::Stateless);
    return encoder.encode(text);
}
