#include "base/TemporaryNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <functional>

namespace {

const QLatin1String kAsideSuffix(".regi");
// mkstemp() replaces these with letters and digits.
constexpr int kRandomLength = 6;

QString inFolderOf(const QString& target, const QString& name) {
    const QFileInfo info(target);
    return info.absolutePath() + QLatin1Char('/') + name;
}

bool isRandomPart(QStringView text) {
    if (text.size() != kRandomLength)
        return false;
    for (const QChar c : text) {
        if (!(c.isDigit() || (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
              (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))))
            return false;
    }
    return true;
}

// The target's name inside one of our names, or an empty view when the name is not ours.
QStringView targetOfTemporary(QStringView fileName) {
    const qsizetype dot = fileName.size() - kRandomLength - 1;
    if (dot < 2 || !fileName.startsWith(QLatin1Char('.')) || fileName.at(dot) != QLatin1Char('.') ||
        !isRandomPart(fileName.mid(dot + 1)))
        return {};
    return fileName.mid(1, dot - 1);
}

QStringView targetOfAside(QStringView fileName) {
    if (fileName.size() < kAsideSuffix.size() + 2 || !fileName.startsWith(QLatin1Char('.')) ||
        !fileName.endsWith(kAsideSuffix))
        return {};
    return fileName.mid(1, fileName.size() - kAsideSuffix.size() - 1);
}

} // namespace

QString TemporaryNames::pattern(const QString& target) {
    return inFolderOf(target, QLatin1Char('.') + QFileInfo(target).fileName() + QStringLiteral(".XXXXXX"));
}

QString TemporaryNames::aside(const QString& target) {
    return inFolderOf(target, QLatin1Char('.') + QFileInfo(target).fileName() + kAsideSuffix);
}

QString TemporaryNames::filled(const QString& pattern) {
    static const QLatin1String kAlphabet("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    QString name = pattern.chopped(kRandomLength);
    for (int i = 0; i < kRandomLength; ++i)
        name += kAlphabet.at(QRandomGenerator::system()->bounded(static_cast<int>(kAlphabet.size())));
    return name;
}

bool TemporaryNames::isTemporaryOf(const QString& fileName, const QString& targetName) {
    const QStringView target = targetOfTemporary(fileName);
    return !target.isEmpty() && target == targetName;
}

bool TemporaryNames::isAsideOf(const QString& fileName, const QString& targetName) {
    const QStringView target = targetOfAside(fileName);
    return !target.isEmpty() && target == targetName;
}

bool TemporaryNames::isOurs(const QString& fileName) {
    return !targetOfTemporary(fileName).isEmpty() || !targetOfAside(fileName).isEmpty();
}

namespace {

QStringList removeFiles(const QString& folder, const std::function<bool(const QFileInfo&)>& whether) {
    QStringList removed;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& entry : entries) {
        // Only plain files: a link of our naming could point anywhere.
        if (entry.isSymLink() || !whether(entry))
            continue;
        if (QFile::remove(entry.absoluteFilePath()))
            removed << entry.absoluteFilePath();
    }
    return removed;
}

} // namespace

QStringList TemporaryNames::removeStale(const QString& folder, const QDateTime& before) {
    return removeFiles(folder, [&before](const QFileInfo& entry) {
        return isOurs(entry.fileName()) && entry.lastModified() < before;
    });
}

QStringList TemporaryNames::removeLeftoversOf(const QString& target) {
    const QFileInfo info(target);
    const QString name = info.fileName();
    return removeFiles(info.absolutePath(), [&name](const QFileInfo& entry) {
        return isTemporaryOf(entry.fileName(), name) || isAsideOf(entry.fileName(), name);
    });
}
