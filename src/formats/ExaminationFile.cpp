#include "formats/ExaminationFile.h"

#include "base/Cp1250.h"
#include "base/DecimalInt.h"
#include "base/TextFile.h"
#include "base/UserError.h"

#include <array>

namespace {

constexpr int kHeaderLines = 29;

UserError malformed(const QString& path, int line, const QString& what) {
    return UserError(QStringLiteral("Hibás vizsgálati fájl: %1\n%2. sor: %3").arg(path).arg(line).arg(what));
}

// The age stands between spaces and tabs; any other character (a control character, a line
// feed inside the line) belongs to the word and makes it no number.
bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

constexpr qsizetype kMaxAgeWord = 32;

// The first word of the age line as a whole 32-bit integer (optional sign, decimal digits) of
// at most 32 characters; what follows the word is not looked at.
bool parseAge(const QString& line, qint32* age) {
    qsizetype i = 0;
    while (i < line.size() && isBlank(line.at(i)))
        ++i;
    qsizetype end = i;
    while (end < line.size() && !isBlank(line.at(end)))
        ++end;
    return end - i <= kMaxAgeWord && parseDecimalInt32(line.mid(i, end - i), age);
}

bool parseScoringLine(const QString& text, ScoringLine* line) {
    const qsizetype c1 = text.indexOf(QLatin1Char(','));
    if (c1 < 0)
        return false;
    const qsizetype c2 = text.indexOf(QLatin1Char(','), c1 + 1);
    if (c2 < 0)
        return false;
    const qsizetype c3 = text.indexOf(QLatin1Char(','), c2 + 1);
    if (c3 < 0)
        return false;
    const qsizetype semi = text.indexOf(QLatin1Char(';'), c3 + 1);
    if (semi < 0)
        return false;
    line->field(1) = text.left(c1);
    line->field(2) = text.mid(c1 + 1, c2 - c1 - 1);
    line->field(3) = text.mid(c2 + 1, c3 - c2 - 1);
    line->field(4) = text.mid(c3 + 1, semi - c3 - 1);
    return true;
}

// The lines around each picture's answer ("[1]" and "[/1]"), made once: every file read looks
// for all of them.
const QString& markerLine(bool closing, int picture) {
    static const std::array<std::array<QString, kPictureCount>, 2> lines = [] {
        std::array<std::array<QString, kPictureCount>, 2> made;
        for (int p = 1; p <= kPictureCount; ++p) {
            made[0][static_cast<size_t>(p - 1)] = QLatin1Char('[') + QString::number(p) + QLatin1Char(']');
            made[1][static_cast<size_t>(p - 1)] = QStringLiteral("[/") + QString::number(p) + QLatin1Char(']');
        }
        return made;
    }();
    return lines[closing ? 1 : 0][static_cast<size_t>(picture - 1)];
}
const QString& startLine(int picture) {
    return markerLine(false, picture);
}
const QString& endLine(int picture) {
    return markerLine(true, picture);
}

} // namespace

QString ExaminationFile::codeFromPath(const QString& path) {
    const qsizetype separator = std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < separator)
        return QString();
    QString code = path.mid(separator + 1, dot - separator - 1);
    for (QChar& c : code) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    }
    return code;
}

ExaminationData ExaminationFile::read(const QString& path) {
    return parse(TextFile::readBytes(path), path);
}

ExaminationData ExaminationFile::parse(const QByteArray& bytes, const QString& path) {
    const QStringList lines = TextFile::splitLines(Cp1250::decode(bytes));
    if (lines.size() < kHeaderLines)
        throw malformed(path, static_cast<int>(lines.size()) + 1,
                        QStringLiteral("a fájl véget ér a személyi adatok és a jelölések vége előtt."));

    ExaminationData data;
    PersonalData& pd = data.personal;
    pd.name = lines.at(0);
    pd.code = codeFromPath(path);
    if (!parseAge(lines.at(1), &pd.age))
        throw malformed(path, 2, QStringLiteral("az életkor nem egész szám."));
    pd.date = lines.at(2);
    pd.examiner = lines.at(3);
    pd.sex = lines.at(4).startsWith(QLatin1Char('1')) ? PersonalData::Sex::Boy : PersonalData::Sex::Girl;

    for (int picture = 1; picture <= kPictureCount; ++picture) {
        const int lineNo = 5 + picture;
        if (!parseScoringLine(lines.at(lineNo - 1), &data.lines[static_cast<size_t>(picture - 1)]))
            throw malformed(path, lineNo,
                            QStringLiteral("a(z) %1. kép jelölési sorából hiányzik a három vessző vagy a záró "
                                           "pontosvessző.")
                                .arg(picture));
    }

    qsizetype next = kHeaderLines;
    for (int picture = 1; picture <= kPictureCount; ++picture) {
        const QString& start = startLine(picture);
        const QString& end = endLine(picture);
        while (next < lines.size() && lines.at(next) != start)
            ++next;
        if (next >= lines.size())
            throw malformed(path, static_cast<int>(lines.size()) + 1,
                            QStringLiteral("hiányzik a(z) %1. kép válaszának kezdősora (%2).").arg(picture).arg(start));
        const int blockStart = static_cast<int>(next) + 1;
        ++next;
        QString answer;
        while (next < lines.size() && lines.at(next) != end) {
            answer += lines.at(next);
            answer += QStringLiteral("\r\n");
            ++next;
        }
        if (next >= lines.size())
            throw malformed(path, blockStart,
                            QStringLiteral("a(z) %1. kép válaszának nincs zárósora (%2).").arg(picture).arg(end));
        ++next;
        data.answers[static_cast<size_t>(picture - 1)] = answer;
    }
    return data;
}

QByteArray ExaminationFile::serialize(const ExaminationData& data) {
    const PersonalData& pd = data.personal;
    QStringList out;
    out << pd.name << QString::number(pd.age) << pd.date << pd.examiner
        << (pd.sex == PersonalData::Sex::Boy ? QStringLiteral("1") : QStringLiteral("2"));
    for (const ScoringLine& line : data.lines) {
        out << line.field(1) + QLatin1Char(',') + line.field(2) + QLatin1Char(',') + line.field(3) + QLatin1Char(',') +
                   line.field(4) + QLatin1Char(';');
    }
    for (int picture = 1; picture <= kPictureCount; ++picture) {
        out << startLine(picture);
        out << TextFile::splitLines(data.answers[static_cast<size_t>(picture - 1)]);
        out << endLine(picture);
    }
    return TextFile::encodeLines(out);
}

void ExaminationFile::write(const QString& path, const ExaminationData& data) {
    const QByteArray bytes = serialize(data);
    // A file the reader refuses is no examination saved: it could never be opened again.
    if (bytes.size() > TextFile::kMaxFileSize) {
        size_t longest = 0;
        for (size_t i = 1; i < data.answers.size(); ++i) {
            if (data.answers[i].size() > data.answers[longest].size())
                longest = i;
        }
        throw UserError(QStringLiteral("A vizsgálat nem menthető: a fájl nagyobb lenne %1 MiB-nál, és a program nem "
                                       "tudná megnyitni. A leghosszabb a(z) %2. képre adott válasz (%3 karakter); "
                                       "rövidítse le, és mentse újra.")
                            .arg(TextFile::kMaxFileSize / (1024 * 1024))
                            .arg(longest + 1)
                            .arg(data.answers[longest].size()));
    }
    TextFile::writeBytes(path, bytes);
}
