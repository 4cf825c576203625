#include "formats/ChildScreenFile.h"

#include "base/TextFile.h"
#include "base/UserError.h"

QString ChildScreenFile::path(const DataRoot& root) {
    return root.gyVkt(QStringLiteral("gyermek_kepernyo.cfg"));
}

QString ChildScreenFile::read(const DataRoot& root) {
    try {
        const QStringList lines = TextFile::readLines(path(root));
        return lines.isEmpty() ? QString() : lines.constFirst().trimmed();
    } catch (const UserError&) {
        // Without the setting the child's window goes to the first screen that is free.
        return QString();
    }
}

void ChildScreenFile::write(const DataRoot& root, const QString& screenName) {
    TextFile::writeLines(path(root), {screenName});
}
