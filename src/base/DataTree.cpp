#include "base/DataTree.h"

#include "base/ClosedFolder.h"
#include "base/TextFile.h"
#include "base/UserError.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QSet>

#include <cerrno>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

#include <algorithm>

QString DataTree::defaultTreeDir() {
    const QString beside =
        QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/gyvkt/tavrix"));
    if (QFileInfo(beside).isDir())
        return beside;
    return QStringLiteral(GYVKT_INSTALLED_DATA_DIR);
}

namespace {

void makeFolder(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir())
        return;
    // A plain file where a folder belongs is left alone; the copy below it then fails loudly.
    if (info.exists())
        throw UserError::cannotCreate(path);
    if (!ClosedFolder::makePath(path))
        throw UserError::cannotCreate(path, errno);
}

// Anything at the path, a dangling link or a folder too: never replaced.
bool occupied(const QString& path) {
#ifdef Q_OS_WIN
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
#else
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
#endif
}

// The names in a folder that pass the filter, without a look at each entry beyond its listing.
QStringList names(const QString& folder, QDir::Filters filter) {
    QStringList found;
    QDirIterator it(folder, filter | QDir::Hidden | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        found.append(it.fileName());
    }
    return found;
}

// One folder of the tree and, below it, its subfolders. Each folder is compared with the root's
// by their listings, so that an installation that lacks nothing costs two listings a folder, not
// a look at every file; a name the root's listing lacks is looked at on its own before it is
// copied, since a file system that ignores case may hold it under another spelling.
void layDownFolder(const QString& from, const QString& to, QStringList& created) {
    makeFolder(to);
    const QStringList present = names(to, QDir::AllEntries | QDir::System);
    const QSet<QString> there(present.cbegin(), present.cend());
    for (const QString& name : names(from, QDir::Files)) {
        const QString destination = to + QLatin1Char('/') + name;
        if (there.contains(name) || occupied(destination))
            continue;
        TextFile::writeBytes(destination, TextFile::readBytes(from + QLatin1Char('/') + name));
        created.append(destination);
    }
    // A linked folder is not followed: a link back up the tree would never end.
    for (const QString& folder : names(from, QDir::Dirs | QDir::NoSymLinks))
        layDownFolder(from + QLatin1Char('/') + folder, to + QLatin1Char('/') + folder, created);
}

} // namespace

QStringList DataTree::layDown(const DataRoot& root, const QString& treeDir) {
    if (!QFileInfo(treeDir).isDir())
        throw UserError::cannotOpen(treeDir);
    QStringList created;
    layDownFolder(treeDir, root.tavrix(), created);
    // The order of the paths, not of the folders' walk.
    std::sort(created.begin(), created.end());
    return created;
}
