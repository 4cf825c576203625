#include "base/FileIdentity.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

bool FileIdentity::same(const QString& a, const QString& b) {
    const QFileInfo x(a);
    const QFileInfo y(b);
    if (!x.exists() || !y.exists())
        return QDir::cleanPath(x.absoluteFilePath()) == QDir::cleanPath(y.absoluteFilePath());
#ifdef Q_OS_WIN
    return x.canonicalFilePath().compare(y.canonicalFilePath(), Qt::CaseInsensitive) == 0;
#else
    struct stat sx {};
    struct stat sy {};
    return ::stat(QFile::encodeName(a).constData(), &sx) == 0 && ::stat(QFile::encodeName(b).constData(), &sy) == 0 &&
           sx.st_dev == sy.st_dev && sx.st_ino == sy.st_ino;
#endif
}

QString FileIdentity::overwrittenInput(const QString& output, const QStringList& inputs) {
    for (const QString& input : inputs) {
        if (same(output, input))
            return input;
    }
    return QString();
}
