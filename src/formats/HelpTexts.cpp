#include "formats/HelpTexts.h"

#include "base/TextFile.h"

#include <QFileInfo>

namespace {
int g_reads = 0;
}

QStringList HelpTexts::memoLines(const QString& text) {
    if (text.isEmpty())
        return {};
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

QString HelpTexts::memoText(const QStringList& lines) {
    return lines.join(QLatin1Char('\n'));
}

QStringList HelpTexts::readLines(const QString& path) {
    ++g_reads;
    return TextFile::readLines(path);
}

int HelpTexts::readCount() {
    return g_reads;
}

QString HelpTexts::combinationHeading(int picture, const QString& combination) {
    return QStringLiteral("példatár: ") + QString::number(picture) + QStringLiteral(". kép,") +
           QStringLiteral(" kombinációk (") + combination + QLatin1Char(')');
}

HelpTexts::CurrentFile::Result HelpTexts::CurrentFile::request(const QString& path) {
    if (path == m_path)
        return Result::Unchanged;
    m_path = path;
    m_lines.clear();
    if (!QFileInfo::exists(path))
        return Result::Missing;
    m_lines = readLines(path);
    return Result::Loaded;
}
