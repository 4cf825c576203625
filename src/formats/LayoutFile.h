#pragma once

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

// The window-layout files (felvetel.cfg, jeloles.cfg): one line per window,
// "Key=left,top,height,width;" (height before width), ended by "vege".
namespace LayoutFile {

struct Geometry {
    int left = 0;
    int top = 0;
    int height = 0;
    int width = 0;
    bool operator==(const Geometry& o) const {
        return left == o.left && top == o.top && height == o.height && width == o.width;
    }
};

struct Entry {
    QString key;
    Geometry geometry;
};

// A stored geometry made safe to apply on screens covering `screens`: the size clamped between
// `minimum` and the screens' size, the position kept so that a part of the window, its title
// bar included, stays on the screens where it can be grabbed. Computed without overflow for any
// 32-bit values a file may hold.
Geometry withinReach(const Geometry& geometry, const QRect& screens, const QSize& minimum);

// The eight window keys in the order the writer puts them.
const QStringList& keys();

// The window lines to apply, in file order, up to the first line that is exactly "vege". A
// file without that line is read to its end, its last line being read but not applied.
// Lines with another key, and lines whose four fields are empty, not whole numbers or not
// closed by ";", are skipped. A key named twice appears twice: the later line wins.
QList<Entry> parse(const QStringList& lines);
// The same reading for a file of other windows (a window's own file): only the given keys.
QList<Entry> parse(const QStringList& lines, const QStringList& acceptedKeys);
// Reads a layout file; a missing file raises "File not found: " + path.
QList<Entry> read(const QString& path);

// The file's lines for the eight windows, given in the order of keys().
QStringList serialize(const QList<Geometry>& geometries);
// The lines of the entries given, in their order, then "vege".
QStringList serialize(const QList<Entry>& entries);
void write(const QString& path, const QList<Geometry>& geometries);

} // namespace LayoutFile
