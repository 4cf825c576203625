#include "base/Cp1250.h"

#include <QStringDecoder>

#include <array>
#include <unordered_map>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

// What stands for a character the code page lacks, one byte for each: the ASCII substitute
// character, as the converters write it.
constexpr char kSubstitute = '\x1a';

// The 256 characters of the code page, in byte order, from the platform's converter: Qt's
// (ICU) where it knows the code page, else the Windows API's; empty when neither does.
QString codePage() {
    QByteArray all(256, Qt::Uninitialized);
    for (int i = 0; i < 256; ++i)
        all[i] = static_cast<char>(i);
    QStringDecoder decoder("windows-1250", QStringDecoder::Flag::Stateless);
    if (decoder.isValid())
        return decoder.decode(all);
#ifdef Q_OS_WIN
    std::array<wchar_t, 256> wide{};
    if (MultiByteToWideChar(1250, 0, all.constData(), 256, wide.data(), 256) == 256)
        return QString::fromWCharArray(wide.data(), 256);
#endif
    return QString();
}

// The code page is one byte per character, so the converter is asked once for all 256 bytes
// and the answers are kept as tables: converting a protocol then costs a lookup per character
// instead of a trip through the converter.
struct Tables {
    bool valid = false;
    std::array<char16_t, 256> toUnicode{};
    std::unordered_map<char16_t, char> fromUnicode;

    Tables() {
        const QString decoded = codePage();
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
    return tables().valid;
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
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        if (u < 0x80) {
            bytes.append(static_cast<char>(u));
            continue;
        }
        const auto found = t.fromUnicode.find(u);
        if (found != t.fromUnicode.end()) {
            bytes.append(found->second);
            continue;
        }
        // A character outside the code page; one beyond the 16-bit range is two units long.
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        bytes.append(kSubstitute);
    }
    return bytes;
}
