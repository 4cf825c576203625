#include "base/TextFile.h"

#include "base/AtomicFile.h"
#include "base/Cp1250.h"
#include "base/UserError.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <unistd.h>
#endif

QStringList TextFile::splitLines(const QString& text) {
    QStringList lines;
    const qsizetype stop = text.indexOf(QChar(26));
    const qsizetype end = stop < 0 ? text.size() : stop;
    qsizetype start = 0;
    while (start < end) {
        const qsizetype cr = text.indexOf(QLatin1Char('\r'), start);
        if (cr < 0 || cr >= end) {
            lines.append(text.mid(start, end - start));
            break;
        }
        lines.append(text.mid(start, cr - start));
        start = cr + 1;
        if (start < end && text.at(start) == QLatin1Char('\n'))
            ++start;
    }
    return lines;
}

QByteArray TextFile::readBytes(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        throw UserError::fileNotFound(path);
    // A pipe would block and a device never end; only plain files are opened at all.
    if (!info.isFile())
        throw UserError::cannotOpen(path);
    if (info.size() > kMaxFileSize)
        throw UserError::tooLarge(path);
    QFile file;
#ifdef Q_OS_WIN
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        throw UserError::cannotOpen(path);
#else
    // Opened here rather than by QFile, which keeps no errno to say why it failed.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw UserError::cannotOpen(path, errno);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw UserError::cannotOpen(path);
    }
#endif
    // The size is read once more with a limit, in case the file grew after it was looked at. A
    // read asks for as much room as it may fill, and keeps it: the size looked at is asked for
    // first, and more only when the file turns out longer.
    errno = 0;
    const qint64 expected = info.size() + 1;
    QByteArray bytes = file.read(expected);
    if (bytes.size() == expected && file.error() == QFileDevice::NoError)
        bytes += file.read(kMaxFileSize + 1 - expected);
    if (file.error() != QFileDevice::NoError)
        throw UserError::cannotOpen(path, errno);
    if (bytes.size() > kMaxFileSize)
        throw UserError::tooLarge(path);
    return bytes;
}

QStringList TextFile::readLines(const QString& path) {
    return splitLines(Cp1250::decode(readBytes(path)));
}

QStringList TextFile::loadLines(const QString& path) {
    if (!QFileInfo::exists(path))
        throw UserError::cannotOpen(path);
    return readLines(path);
}

QString TextFile::readMemoText(const QString& path) {
    if (!QFileInfo::exists(path))
        throw UserError::cannotOpen(path);
    QString text = Cp1250::decode(readBytes(path));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

void TextFile::writeBytes(const QString& path, const QByteArray& bytes) {
    AtomicFile::write(path, bytes);
}

QByteArray TextFile::encodeLines(const QStringList& lines) {
    QString text;
    qsizetype size = 0;
    for (const QString& line : lines)
        size += line.size() + 2;
    text.reserve(size);
    for (const QString& line : lines) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    return Cp1250::encode(text);
}

QByteArray TextFile::encodeMemoText(const QString& text) {
    QString crlf = text;
    crlf.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return Cp1250::encode(crlf);
}

void TextFile::writeLines(const QString& path, const QStringList& lines) {
    writeBytes(path, encodeLines(lines));
}

void TextFile::writeMemoText(const QString& path, const QString& text) {
    writeBytes(path, encodeMemoText(text));
}
