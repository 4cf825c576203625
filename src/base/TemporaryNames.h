#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// The names of the files the program keeps beside a target while it replaces it: the new bytes
// before the rename (".<name>.XXXXXX") and, in a batch, the old file kept for putting back
// (".<name>.regi"). Defined here once, so that what a crash left behind is recognised by the
// same rule that made it.
namespace TemporaryNames {

// The mkstemp() pattern of a temporary beside target: its folder, ".", its name, ".XXXXXX".
QString pattern(const QString& target);
// The old file of target kept aside while a batch switches: its folder, ".", its name, ".regi".
QString aside(const QString& target);
// The pattern with its trailing XXXXXX replaced by random letters and digits, as mkstemp() and
// mkdtemp() do, for the systems that have neither.
QString filled(const QString& pattern);

// Whether fileName (without folder) is a temporary, or the kept-aside file, of targetName.
bool isTemporaryOf(const QString& fileName, const QString& targetName);
bool isAsideOf(const QString& fileName, const QString& targetName);
// Whether fileName (without folder) is either of them for any target.
bool isOurs(const QString& fileName);

// Removes from the folder the files of our naming last changed before the moment: what a crash
// left there. Returns the paths removed; a folder that does not exist is no error.
QStringList removeStale(const QString& folder, const QDateTime& before);

// Removes the temporaries and the kept-aside file of target beside it, whatever their age: what
// an interrupted replacement of that one file left. Returns the paths removed.
QStringList removeLeftoversOf(const QString& target);

} // namespace TemporaryNames
