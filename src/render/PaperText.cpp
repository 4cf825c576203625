#include "render/PaperText.h"

QString PaperText::headingColour() {
    return QStringLiteral("#d3e2f5");
}

QString PaperText::escaped(const QString& plain) {
    return plain.toHtmlEscaped();
}

QString PaperText::tableOpen(int cellPadding) {
    return QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"%1\" "
                          "style=\"border-collapse: collapse; border-color: #7d8ba0;\">")
        .arg(cellPadding);
}

QString PaperText::cell(const QString& content, const QString& attributes) {
    return QStringLiteral("<td%1>%2</td>")
        .arg(attributes.isEmpty() ? QString() : QLatin1Char(' ') + attributes, content);
}

QString PaperText::headingRow(const QString& title, int columns) {
    return QStringLiteral("<tr><td colspan=\"%1\" bgcolor=\"%2\"><b>%3</b></td></tr>")
        .arg(columns)
        .arg(headingColour(), title);
}

QString PaperText::shown(const QString& text) {
    if (text.size() <= kMaxShown)
        return text;
    // Never half a character beyond the Basic Multilingual Plane.
    const qsizetype cut = text.at(kMaxShown - 1).isHighSurrogate() ? kMaxShown - 1 : kMaxShown;
    return text.left(cut) + QStringLiteral("… (további %1 karakter a fájlban)").arg(text.size() - cut);
}
