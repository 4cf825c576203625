#include "formats/ArchiveWindowFile.h"

#include "base/TextFile.h"
#include "base/UserError.h"

namespace {

const QString kKey = QStringLiteral("Archivum");

} // namespace

QString ArchiveWindowFile::path(const DataRoot& root) {
    return root.gyVkt(QStringLiteral("archivum.cfg"));
}

std::optional<LayoutFile::Geometry> ArchiveWindowFile::read(const DataRoot& root) {
    QStringList lines;
    try {
        lines = TextFile::readLines(path(root));
    } catch (const UserError&) {
        return std::nullopt;
    }
    const QList<LayoutFile::Entry> entries = LayoutFile::parse(lines, {kKey});
    if (entries.isEmpty())
        return std::nullopt;
    const LayoutFile::Geometry& g = entries.constLast().geometry;
    if (g.width <= 0 || g.height <= 0)
        return std::nullopt;
    return g;
}

void ArchiveWindowFile::write(const DataRoot& root, const LayoutFile::Geometry& geometry) {
    TextFile::writeLines(path(root), LayoutFile::serialize(QList<LayoutFile::Entry>{{kKey, geometry}}));
}
