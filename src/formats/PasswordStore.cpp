#include "formats/PasswordStore.h"

#include "base/TextFile.h"
#include "base/UserError.h"

namespace {

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

QByteArray PasswordStore::defaultStoreBytes() {
    // Lines 1 to 19 and the first 20 characters of line 20 carry no meaning; the three
    // characters after the password keep line 20 at the 30 characters a 9-digit password needs.
    QStringList lines;
    lines << QStringLiteral("gyermek VKT") << QStringLiteral("Tavrix");
    for (int n = lines.size() + 1; n < PasswordLine; ++n)
        lines << QStringLiteral("%1").arg(n * 7919 % 100000, 5, 10, QLatin1Char('0'));
    lines << QStringLiteral("73920518462093751846") + QLatin1Char('0' + defaultPassword().size()) + defaultPassword() +
                 QStringLiteral("804");
    lines << QStringLiteral("vege");
    return TextFile::encodeLines(lines);
}

QString PasswordStore::defaultPassword() {
    return QStringLiteral("123456");
}

std::optional<QString> PasswordStore::passwordFromLines(const QStringList& lines) {
    if (lines.size() < PasswordLine)
        return std::nullopt;
    const QString& line = lines.at(PasswordLine - 1);
    if (line.size() < LengthColumn || !isDigit(line.at(LengthColumn - 1)))
        return std::nullopt;
    const int length = line.at(LengthColumn - 1).unicode() - '0';
    if (length < MinLength || length > MaxLength || line.size() < LengthColumn + length)
        return std::nullopt;
    const QString password = line.mid(LengthColumn, length);
    for (QChar c : password) {
        if (!isDigit(c))
            return std::nullopt;
    }
    return password;
}

bool PasswordStore::changeIsValid(const QString& oldPassword, const QString& current, const QString& newPassword,
                                  const QString& confirmation) {
    if (oldPassword != current)
        return false;
    for (QChar c : newPassword) {
        if (!isDigit(c))
            return false;
    }
    if (newPassword.size() < MinLength || newPassword.size() > MaxLength)
        return false;
    return confirmation == newPassword;
}

QStringList PasswordStore::withPassword(QStringList lines, const QString& password) {
    Q_ASSERT(password.size() <= MaxLength);
    while (lines.size() < PasswordLine)
        lines.append(QString());
    QString& line = lines[PasswordLine - 1];
    const int end = LengthColumn + static_cast<int>(password.size());
    if (line.size() < end)
        line.append(QString(end - line.size(), QLatin1Char(' ')));
    line[LengthColumn - 1] = QLatin1Char(static_cast<char>('0' + password.size()));
    line.replace(LengthColumn, password.size(), password);
    return lines;
}

bool PasswordStore::change(const QString& path, const QString& current, const QString& oldPassword,
                           const QString& newPassword, const QString& confirmation) {
    if (!changeIsValid(oldPassword, current, newPassword, confirmation))
        return false;
    QStringList lines;
    try {
        lines = TextFile::loadLines(path);
    } catch (const UserError&) {
        // What cannot be read cannot be kept; line 20 is all the program needs of it.
    }
    TextFile::writeLines(path, withPassword(lines, newPassword));
    return true;
}

PasswordStore::Parameter PasswordStore::parseParameter(const QString& parameter) {
    Parameter result;
    const qsizetype equals = parameter.indexOf(QLatin1Char('='));
    if (equals < 0)
        return result;
    result.key = parameter.left(equals);
    const qsizetype semicolon = parameter.lastIndexOf(QLatin1Char(';'));
    if (semicolon > equals)
        result.value = parameter.mid(equals + 1, semicolon - equals - 1);
    return result;
}

QString PasswordStore::handoverKey() {
    return QStringLiteral("_sel");
}
