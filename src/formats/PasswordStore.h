#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// The program password kept in standard.dat. Only line 20 means anything: character 21 is the
// length L of the password (one digit) and characters 22 to 21 + L are the password. Every
// other line and character belongs to the installation and is written back untouched.
namespace PasswordStore {

constexpr int PasswordLine = 20;
constexpr int LengthColumn = 21; // 1-based, like the rest of the store's description
constexpr int MinLength = 6;
constexpr int MaxLength = 9;

// The store as the installation lays it down; its first password is "123456".
QByteArray defaultStoreBytes();
QString defaultPassword();

// The password the lines hold, or nothing when the store is damaged: fewer than 20 lines, a
// length at character 21 of line 20 that is not a digit from 6 to 9, or fewer than that many
// digits after it. A damaged store must never yield a shorter or a non-numeric password.
std::optional<QString> passwordFromLines(const QStringList& lines);

// The four tests of a password change, in their order; true when all hold.
bool changeIsValid(const QString& oldPassword, const QString& current, const QString& newPassword,
                   const QString& confirmation);

// The lines with the new password written into line 20 in place: character 21 becomes the
// length digit, characters 22 onward the digits, and nothing else changes. A store too short
// for that is filled out (empty lines, blanks) rather than refused, so a change can always be
// stored and read back. The password must be 0 to 9 characters long.
QStringList withPassword(QStringList lines, const QString& password);

// The change as the examiner asks for it: the four tests of changeIsValid() against the
// password in force, then the store at path rewritten with the new password in line 20 (a store
// that cannot be read is written anew around line 20). Raises UserError when the store cannot be
// written; a change that fails a test or cannot be stored changes nothing and returns false.
bool change(const QString& path, const QString& current, const QString& oldPassword, const QString& newPassword,
            const QString& confirmation);

// A command-line parameter "key=value;": the key before the first "=", the value between that
// "=" and the last ";" (empty without a ";" after the "="). No "=" gives an empty key.
struct Parameter {
    QString key;
    QString value;
};
Parameter parseParameter(const QString& parameter);

// The key that marks a password handed over by a launching program.
QString handoverKey();

} // namespace PasswordStore
