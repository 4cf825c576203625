#include "TextTree.h"

#include "base/Cp1250.h"
#include "base/TextFile.h"
#include "base/UserError.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

bool TextTree::toProgramBytes(const QByteArray& utf8, QByteArray& bytes, QString& badCharacter) {
    bytes.clear();
    QString text = QString::fromUtf8(utf8);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.remove(QLatin1Char('\r'));
    if (text.isEmpty())
        return true;
    QStringList lines = text.split(QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n')))
        lines.removeLast();
    for (const QString& line : lines) {
        const QByteArray encoded = Cp1250::encode(line);
        if (Cp1250::decode(encoded) != line) {
            for (const QChar c : line) {
                if (Cp1250::decode(Cp1250::encode(QString(c))) != QString(c)) {
                    badCharacter = QString(c);
                    break;
                }
            }
            bytes.clear();
            return false;
        }
        bytes += encoded;
        bytes += "\r\n";
    }
    return true;
}

QStringList TextTree::convertAll(const QString& sourceDir, const QString& targetDir) {
    QStringList problems;
    const QDir source(sourceDir);
    QDirIterator it(sourceDir, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = source.relativeFilePath(path);
        const QString target = targetDir + QLatin1Char('/') + relative;
        try {
            QByteArray bytes;
            QString bad;
            if (!toProgramBytes(TextFile::readBytes(path), bytes, bad)) {
                problems.append(relative + QStringLiteral(": no Windows-1250 form for \"") + bad +
                                QStringLiteral("\""));
                continue;
            }
            QDir().mkpath(QFileInfo(target).path());
            TextFile::writeBytes(target, bytes);
        } catch (const UserError& error) {
            problems.append(relative + QStringLiteral(": ") + error.text());
        }
    }
    return problems;
}
