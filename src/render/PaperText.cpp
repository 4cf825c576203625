#include "render/PaperText.h"

QString PaperText::escaped(const QString& plain) {
    return plain.toHtmlEscaped();
}

QString PaperText::shown(const QString& text) {
    if (text.size() <= kMaxShown)
        return text;
    // Never half a character beyond the Basic Multilingual Plane.
    const qsizetype cut = text.at(kMaxShown - 1).isHighSurrogate() ? kMaxShown - 1 : kMaxShown;
    return text.left(cut) + QStringLiteral("… (további %1 karakter a fájlban)").arg(text.size() - cut);
}
