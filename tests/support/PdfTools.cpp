#include "PdfTools.h"

#include "TestRoot.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

// The tool's standard output for the document, or a null array when it did not run cleanly.
QByteArray run(const QString& tool, QStringList args, const QByteArray& pdf) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.pdf"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size())
        return QByteArray();
    file.close();
    args << path;
    if (tool == QLatin1String("pdftotext"))
        args << QStringLiteral("-");
    QProcess process;
    process.start(tool, args);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        qWarning("%s failed: %s", qPrintable(tool), process.readAllStandardError().constData());
        return QByteArray();
    }
    QByteArray out = process.readAllStandardOutput();
    if (out.isNull())
        out = QByteArray("");
    return out;
}

} // namespace

const char* PdfTools::unreadableHere() {
    // Windows has no poppler-utils of its own; under Wine they would be the Linux ones, which
    // Wine starts but never reports as ended.
    return underWine() ? "Wine runs no Linux poppler-utils to the end: the document is read on Linux only" : nullptr;
}

QString PdfTools::text(const QByteArray& pdf) {
    const QByteArray out = run(QStringLiteral("pdftotext"),
                               {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8")}, pdf);
    if (out.isNull())
        return QString();
    QString text = QString::fromUtf8(out);
    static const QRegularExpression blanks(QStringLiteral("[ \\t]+"));
    text.replace(blanks, QStringLiteral(" "));
    return text;
}

QString PdfTools::info(const QByteArray& pdf, const QString& field) {
    const QByteArray out = run(QStringLiteral("pdfinfo"), {QStringLiteral("-enc"), QStringLiteral("UTF-8")}, pdf);
    for (const QString& line : QString::fromUtf8(out).split(QLatin1Char('\n'))) {
        if (line.startsWith(field + QLatin1Char(':')))
            return line.mid(field.size() + 1).trimmed();
    }
    return QString();
}

int PdfTools::pageCount(const QByteArray& pdf) {
    bool ok = false;
    const int pages = info(pdf, QStringLiteral("Pages")).toInt(&ok);
    return ok ? pages : -1;
}

QStringList PdfTools::fonts(const QByteArray& pdf) {
    const QByteArray out = run(QStringLiteral("pdffonts"), {}, pdf);
    QStringList result;
    const QStringList lines = QString::fromUtf8(out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    // Two heading lines, then one font a line; the type may hold blanks, so the columns are
    // counted from the right: emb sub uni object generation.
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QStringList cols = lines.at(i).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (cols.size() >= 6)
            result << cols.first() + QLatin1Char(' ') + cols.at(cols.size() - 5);
    }
    return result;
}
