#include "model/GcrKey.h"

#include "base/Cp1250.h"
#include "base/TextFile.h"
#include "base/UserError.h"

namespace {
UserError malformed(const QString& path, int line, const QString& what) {
    return UserError(QStringLiteral("Hibás GCR-kulcsfájl: %1, %2. sor: %3").arg(path).arg(line).arg(what));
}
} // namespace

GcrKey GcrKey::load(const QString& path) {
    return parse(TextFile::readBytes(path), path);
}

GcrKey GcrKey::parse(const QByteArray& bytes, const QString& path) {
    const QStringList lines = TextFile::splitLines(Cp1250::decode(bytes));
    GcrKey key;
    for (int picture = 1; picture <= kPictureCount; ++picture) {
        const int lineNo = picture + 1;
        if (lines.size() < lineNo)
            throw malformed(path, lineNo, QStringLiteral("a fájl idő előtt véget ér."));
        const QString& line = lines.at(lineNo - 1);
        const qsizetype comma = line.indexOf(QLatin1Char(','));
        if (comma < 0)
            throw malformed(path, lineNo, QStringLiteral("hiányzik a vessző."));
        const qsizetype semicolon = line.indexOf(QLatin1Char(';'), comma + 1);
        if (semicolon < 0)
            throw malformed(path, lineNo, QStringLiteral("hiányzik a pontosvessző."));
        key.pair(picture) = Pair{line.left(comma), line.mid(comma + 1, semicolon - comma - 1)};
    }
    return key;
}

int GcrKey::matches(const ScoringLine& line, const Pair& key) {
    if (!key.hasKey())
        return 0;
    int count = 0;
    for (int column = 1; column <= 3; ++column) {
        const QString& f = line.field(column);
        if (f.isEmpty())
            continue;
        const QString a = ScoringLine::firstCode(f);
        const QString b = ScoringLine::secondCode(f);
        if (key.isDouble()) {
            count += (a == key.k1) + (a == key.k2) + (b == key.k1) + (b == key.k2);
        } else {
            count += (a == key.k1) + (b == key.k1);
        }
    }
    return count;
}

QString GcrKey::point(const ScoringLine& line, const Pair& key) {
    const int codes = line.codeCount();
    const int m = matches(line, key);
    QString result = QStringLiteral("0.0");
    // The rules are applied in order, a later one overriding an earlier one.
    if (codes == 1 && key.hasKey() && m == 1)
        result = QStringLiteral("1");
    if (codes == 1 && (!key.hasKey() || m == 0))
        result = QStringLiteral("0.0");
    if (codes != 1 && key.hasKey() && m == 1)
        result = QStringLiteral("0.5");
    if (codes != 1 && key.isDouble() && m == 2)
        result = QStringLiteral("1");
    if (key.isDouble() && m == 2)
        result = QStringLiteral("1");
    return result;
}

double GcrKey::pointValue(const QString& text) {
    if (text == QLatin1String("1"))
        return 1.0;
    return text == QLatin1String("0.5") ? 0.5 : 0.0;
}

QString GcrKey::totalText(double gcrPoints) {
    return QStringLiteral("GCR érték összesen: ") + QString::asprintf("%4.1f", gcrPoints);
}
