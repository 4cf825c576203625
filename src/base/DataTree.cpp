#include "base/DataTree.h"

#include "base/ClosedFolder.h"
#include "base/TextFile.h"
#include "base/UserError.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <cerrno>

#include <algorithm>

QString DataTree::defaultTreeDir() {
    const QString beside =
        QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/gyvkt/tavrix"));
    if (QFileInfo(beside).isDir())
        return beside;
    return QStringLiteral(GYVKT_INSTALLED_DATA_DIR);
}

namespace {

// Relative paths of the tree's folders and files, sorted so that a folder comes before its
// contents and the result does not depend on the file system's listing order.
void listTree(const QString& treeDir, QStringList& folders, QStringList& files) {
    const QDir tree(treeDir);
    QDirIterator it(treeDir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        const QString relative = tree.relativeFilePath(info.filePath());
        if (info.isDir())
            folders.append(relative);
        else if (info.isFile())
            files.append(relative);
    }
    std::sort(folders.begin(), folders.end());
    std::sort(files.begin(), files.end());
}

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

} // namespace

QStringList DataTree::layDown(const DataRoot& root, const QString& treeDir) {
    if (!QFileInfo(treeDir).isDir())
        throw UserError::cannotOpen(treeDir);

    QStringList folders;
    QStringList files;
    listTree(treeDir, folders, files);

    const QString target = root.tavrix();
    makeFolder(target);
    for (const QString& folder : folders)
        makeFolder(target + QLatin1Char('/') + folder);

    QStringList created;
    for (const QString& file : files) {
        const QString destination = target + QLatin1Char('/') + file;
        // exists() also holds for a dangling link or a folder of that name: never replace those.
        if (QFileInfo::exists(destination) || QFileInfo(destination).isSymLink())
            continue;
        makeFolder(QFileInfo(destination).path());
        TextFile::writeBytes(destination, TextFile::readBytes(treeDir + QLatin1Char('/') + file));
        created.append(destination);
    }
    return created;
}
