#include "base/ClosedFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

bool ClosedFolder::makePath(const QString& path) {
#ifdef Q_OS_WIN
    errno = 0;
    return QDir().mkpath(path);
#else
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (QFileInfo(absolute).isDir())
        return true;
    const QString parent = QFileInfo(absolute).path();
    if (parent != absolute && !makePath(parent))
        return false;
    return ::mkdir(QFile::encodeName(absolute).constData(), 0700) == 0 ||
           (errno == EEXIST && QFileInfo(absolute).isDir());
#endif
}

bool ClosedFolder::openToOthers(const QString& path) {
#ifdef Q_OS_WIN
    Q_UNUSED(path);
    return false;
#else
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && (st.st_mode & (S_IRWXG | S_IRWXO)) != 0;
#endif
}
