#pragma once

#include <QList>
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

// The eight window keys in the order the writer puts them.
const QStringList& keys();

// The window lines to apply, in file order, up to the first line that is exactly "vege". A
// file without that line is read to its end, its last line being read but not applied.
// Lines with another key, and lines whose four fields are empty, not whole numbers or not
// closed by ";", are skipped. A key named twice appears twice: the later line wins.
QList<Entry> parse(const QStringList& lines);
// Reads a layout file; a missing file raises "File not found".
QList<Entry> read(const QString& path);

// The file's lines for the eight windows, given in the order of keys().
QStringList serialize(const QList<Geometry>& geometries);
void write(const QString& path, const QList<Geometry>& geometries);

} // namespace LayoutFile
