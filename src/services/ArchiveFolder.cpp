#include "services/ArchiveFolder.h"

#include "base/FileIdentity.h"
#include "base/UserError.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace {

QString fileNameOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? path : path.mid(slash + 1);
}

bool namesInOrder(const QString& a, const QString& b) {
    const int folded = a.compare(b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a < b;
}

} // namespace

bool ArchiveFolder::fileNameLess(const QString& a, const QString& b) {
    const QString nameA = fileNameOf(a);
    const QString nameB = fileNameOf(b);
    return nameA != nameB ? namesInOrder(nameA, nameB) : a < b;
}

QStringList ArchiveFolder::examinationFiles(const QString& folder) {
    const QFileInfo info(folder);
    if (!info.exists())
        throw UserError(QStringLiteral("Nincs ilyen mappa: ") + QDir::toNativeSeparators(folder));
    if (!info.isDir())
        throw UserError(QStringLiteral("Nem mappa: ") + QDir::toNativeSeparators(folder));
    const QDir dir(folder);
    if (!info.isReadable() || !dir.isReadable())
        throw UserError(QStringLiteral("Nem olvasható mappa: ") + QDir::toNativeSeparators(folder));
    // Without QDir::System a pipe named *.kvx is left out (reading it would block); a file that
    // cannot be read is listed, so that the listing can say why.
    QStringList names = dir.entryList({QStringLiteral("*.kvx")}, QDir::Files | QDir::Hidden, QDir::Unsorted);
    // One folder: the names alone decide the order.
    std::sort(names.begin(), names.end(), namesInOrder);
    QStringList paths;
    paths.reserve(names.size());
    for (const QString& name : std::as_const(names))
        paths << dir.filePath(name);
    return paths;
}

QStringList ArchiveFolder::expand(const QStringList& filesOrFolders, QStringList* duplicates) {
    QStringList named;
    for (const QString& argument : filesOrFolders) {
        const QFileInfo info(argument);
        if (info.isDir())
            named << examinationFiles(argument);
        else if (info.exists())
            named << argument;
        else
            throw UserError(QStringLiteral("Nincs ilyen fájl vagy mappa: ") + QDir::toNativeSeparators(argument));
    }
    // One examination counted twice would move every statistic and give one child two serials.
    QStringList files;
    QSet<QString> seen;
    for (const QString& file : std::as_const(named)) {
        const QString key = FileIdentity::key(file);
        if (!key.isEmpty() && seen.contains(key)) {
            if (duplicates)
                *duplicates << file;
            continue;
        }
        seen.insert(key);
        files << file;
    }
    return files;
}
