#include "core/session/LayoutFile.h"

#include "core/platform/DecimalInt.h"
#include "core/platform/TextFile.h"

namespace {

bool parseFields(const QString& rest, LayoutFile::Geometry* g) {
    const qsizetype semicolon = rest.indexOf(QLatin1Char(';'));
    if (semicolon < 0)
        return false;
    const QStringList fields = rest.left(semicolon).split(QLatin1Char(','));
    if (fields.size() != 4)
        return false;
    return parseDecimalInt32(fields[0], &g->left) && parseDecimalInt32(fields[1], &g->top) &&
           parseDecimalInt32(fields[2], &g->height) && parseDecimalInt32(fields[3], &g->width);
}

} // namespace

const QStringList& LayoutFile::keys() {
    static const QStringList k{QStringLiteral("Fomenu"),  QStringLiteral("HelpAblak"), QStringLiteral("InfoKeret"),
                               QStringLiteral("Jeloles"), QStringLiteral("Kepek"),     QStringLiteral("Peldatar"),
                               QStringLiteral("Valasz"),  QStringLiteral("Instrukcio")};
    return k;
}

QList<LayoutFile::Entry> LayoutFile::parse(const QStringList& lines) {
    QList<Entry> entries;
    // The end of the file is tested right after a line is read and before it is applied: in a
    // file without the terminator the last line is read but not applied.
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const QString& line = lines.at(i);
        if (line == QLatin1String("vege"))
            break;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = line.left(eq);
        if (!keys().contains(key))
            continue;
        Geometry g;
        if (parseFields(line.mid(eq + 1), &g))
            entries.append({key, g});
    }
    return entries;
}

QList<LayoutFile::Entry> LayoutFile::read(const QString& path) {
    return parse(TextFile::readLines(path));
}

QStringList LayoutFile::serialize(const QList<Geometry>& geometries) {
    QStringList lines;
    for (qsizetype i = 0; i < keys().size() && i < geometries.size(); ++i) {
        const Geometry& g = geometries.at(i);
        lines << keys().at(i) + QLatin1Char('=') + QString::number(g.left) + QLatin1Char(',') + QString::number(g.top) +
                     QLatin1Char(',') + QString::number(g.height) + QLatin1Char(',') + QString::number(g.width) +
                     QLatin1Char(';');
    }
    lines << QStringLiteral("vege");
    return lines;
}

void LayoutFile::write(const QString& path, const QList<Geometry>& geometries) {
    TextFile::writeLines(path, serialize(geometries));
}
