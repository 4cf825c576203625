#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The editable texts are kept as UTF-8 with LF line ends; the program reads Windows-1250 with
// CR LF after every line.
namespace TextTree {

// Converts one text. Returns false, leaving bytes empty, when a character has no
// Windows-1250 form (it would silently turn into "?" otherwise).
bool toProgramBytes(const QByteArray& utf8, QByteArray& bytes, QString& badCharacter);

// Converts every file below sourceDir into the same relative place below targetDir.
// Returns the problems found (empty when all went well).
QStringList convertAll(const QString& sourceDir, const QString& targetDir);

} // namespace TextTree
