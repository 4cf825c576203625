// The layout reader on any bytes: whatever it takes from a file is placed within reach of the
// screens, and what it writes it reads back.
#include "FuzzInput.h"
#include "base/Cp1250.h"
#include "base/TextFile.h"
#include "formats/LayoutFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QList<LayoutFile::Entry> entries =
        LayoutFile::parse(TextFile::splitLines(Cp1250::decode(fuzzBytes(data, size))));
    const QRect screens(-1366, 0, 2732, 768);
    const QSize minimum(120, 80);
    QList<LayoutFile::Geometry> placed;
    for (const LayoutFile::Entry& entry : entries) {
        fuzzCheck(LayoutFile::keys().contains(entry.key), "only the eight keys are taken");
        const LayoutFile::Geometry g = LayoutFile::withinReach(entry.geometry, screens, minimum);
        fuzzCheck(g.width >= minimum.width() && g.width <= screens.width(), "width within bounds");
        fuzzCheck(g.height >= minimum.height() && g.height <= screens.height(), "height within bounds");
        fuzzCheck(QRect(g.left, g.top, g.width, g.height).intersects(screens), "the window is on the screens");
        placed.append(entry.geometry);
    }
    while (placed.size() < LayoutFile::keys().size())
        placed.append(LayoutFile::Geometry{});
    placed = placed.mid(0, LayoutFile::keys().size());
    const QList<LayoutFile::Entry> back = LayoutFile::parse(LayoutFile::serialize(placed));
    fuzzCheck(back.size() == placed.size(), "every written line reads back");
    for (qsizetype i = 0; i < back.size(); ++i)
        fuzzCheck(back.at(i).geometry == placed.at(i), "geometry reads back unchanged");
    return 0;
}
