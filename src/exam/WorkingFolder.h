#pragma once

#include "platform/DataRoot.h"

#include <QString>

// The 24 answer files of the current examination (aktualis/<n>.val), one answer text each.
namespace WorkingFolder {

// Truncates all 24 answer files to 0 bytes, creating the missing ones. Stops with a
// FileError at the first file that cannot be created.
void resetAnswerFiles(const DataRoot& root);

// The answer as an editor shows it ("\n" between lines); a missing file is an empty answer.
QString loadAnswer(const DataRoot& root, int picture);
// Writes an editor's text exactly: lines separated by CR LF, nothing after the last.
void saveAnswer(const DataRoot& root, int picture, const QString& memoText);

} // namespace WorkingFolder
