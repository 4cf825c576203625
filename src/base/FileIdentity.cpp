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

namespace {

// The path with every link resolved, as far as it exists; the rest of the names added as they are.
QString resolved(const QString& path) {
    QFileInfo info(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    QStringList rest;
    while (!info.exists() && !info.isRoot()) {
        rest.prepend(info.fileName());
        info = QFileInfo(info.absolutePath());
    }
    QString real = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    for (const QString& name : std::as_const(rest))
        real += (real.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/")) + name;
    return QDir::cleanPath(real);
}

} // namespace

bool FileIdentity::isInside(const QString& path, const QString& place) {
    const QString where = resolved(path);
    const QString folder = resolved(place);
#ifdef Q_OS_WIN
    const Qt::CaseSensitivity cs = Qt::CaseInsensitive;
#else
    const Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif
    return where.compare(folder, cs) == 0 ||
           where.startsWith(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'), cs);
}

QString FileIdentity::key(const QString& path) {
#ifdef Q_OS_WIN
    return QFileInfo(path).canonicalFilePath().toCaseFolded();
#else
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return QString();
    return QStringLiteral("%1:%2").arg(st.st_dev).arg(st.st_ino);
#endif
}
