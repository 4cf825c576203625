#include "base/Cp1250.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>
#include <unordered_map>

namespace {

const char* const kName = "windows-1250";

// The code page is one byte per character, so the platform's converter is asked once for all
// 256 bytes and the answers are kept as tables: converting a protocol then costs a lookup per
// character instead of a trip through the converter library.
struct Tables {
    bool valid = false;
    std::array<char16_t, 256> toUnicode{};
    std::unordered_map<char16_t, char> fromUnicode;

    Tables() {
        QStringDecoder decoder(kName, QStringDecoder::Flag::Stateless);
        if (!decoder.isValid())
            return;
        QByteArray all(256, Qt::Uninitialized);
        for (int i = 0; i < 256; ++i)
            all[i] = static_cast<char>(i);
        const QString decoded = decoder.decode(all);
        if (decoded.size() != 256)
            return;
        for (int i = 0; i < 256; ++i) {
            toUnicode[static_cast<size_t>(i)] = decoded.at(i).unicode();
            fromUnicode.emplace(decoded.at(i).unicode(), static_cast<char>(i));
        }
        valid = fromUnicode.size() == 256;
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

} // namespace

bool Cp1250::available() {
    QStringEncoder encoder(kName);
    return tables().valid && encoder.isValid();
}

QString Cp1250::decode(const QByteArray& bytes) {
    const Tables& t = tables();
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes)
        *out++ = QChar(t.toUnicode[static_cast<unsigned char>(c)]);
    return text;
}

QByteArray Cp1250::encode(const QString& text) {
    const Tables& t = tables();
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80) {
            *out++ = static_cast<char>(u);
            continue;
        }
        const auto found = t.fromUnicode.find(u);
        if (found == t.fromUnicode.end()) {
            // A character the code page lacks: let the converter substitute it as it does.
            QStringEncoder encoder(kName, QStringEncoder::Flag::Stateless);
            return encoder.encode(text);
        }
        *out++ = found->second;
    }
    return bytes;
}
