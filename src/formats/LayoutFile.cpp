#include "formats/LayoutFile.h"

#include "base/DecimalInt.h"
#include "base/TextFile.h"

#include <algorithm>

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

LayoutFile::Geometry LayoutFile::withinReach(const Geometry& g, const QRect& screens, const QSize& minimum) {
    // How much of a window must stay on the screens sideways and below, and how far its frame
    // may stand above them with its title bar still within reach.
    constexpr qint64 kGrip = 80;
    constexpr qint64 kAbove = 10;
    auto clamp = [](qint64 value, qint64 low, qint64 high) { return std::max(low, std::min(value, high)); };
    const qint64 width = clamp(g.width, minimum.width(), std::max<qint64>(minimum.width(), screens.width()));
    const qint64 height = clamp(g.height, minimum.height(), std::max<qint64>(minimum.height(), screens.height()));
    const qint64 left = clamp(g.left, qint64(screens.left()) - width + kGrip, qint64(screens.right()) - kGrip);
    const qint64 top = clamp(g.top, qint64(screens.top()) - kAbove, qint64(screens.bottom()) - kGrip);
    return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(height), static_cast<int>(width)};
}

const QStringList& LayoutFile::keys() {
    static const QStringList k{QStringLiteral("Fomenu"),  QStringLiteral("HelpAblak"), QStringLiteral("InfoKeret"),
                               QStringLiteral("Jeloles"), QStringLiteral("Kepek"),     QStringLiteral("Peldatar"),
                               QStringLiteral("Valasz"),  QStringLiteral("Instrukcio")};
    return k;
}

QList<LayoutFile::Entry> LayoutFile::parse(const QStringList& lines) {
    return parse(lines, keys());
}

QList<LayoutFile::Entry> LayoutFile::parse(const QStringList& lines, const QStringList& acceptedKeys) {
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
        if (!acceptedKeys.contains(key))
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
    QList<Entry> entries;
    for (qsizetype i = 0; i < keys().size() && i < geometries.size(); ++i)
        entries.append({keys().at(i), geometries.at(i)});
    return serialize(entries);
}

QStringList LayoutFile::serialize(const QList<Entry>& entries) {
    QStringList lines;
    for (const Entry& entry : entries) {
        const Geometry& g = entry.geometry;
        lines << entry.key + QLatin1Char('=') + QString::number(g.left) + QLatin1Char(',') + QString::number(g.top) +
                     QLatin1Char(',') + QString::number(g.height) + QLatin1Char(',') + QString::number(g.width) +
                     QLatin1Char(';');
    }
    lines << QStringLiteral("vege");
    return lines;
}

void LayoutFile::write(const QString& path, const QList<Geometry>& geometries) {
    TextFile::writeLines(path, serialize(geometries));
}
