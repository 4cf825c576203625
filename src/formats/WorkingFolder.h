#pragma once

#include "base/DataRoot.h"
#include "model/Pictures.h"

#include <QString>
#include <array>

// The 24 answer files of the current examination (aktualis/<n>.val), one answer text each.
namespace WorkingFolder {

using Answers = std::array<QString, kPictureCount>;

// Empties all 24 answer files, creating the missing ones. All of them or none: when one cannot
// be written, UserError names it and every answer file stays as it was. A crash in the middle
// is made good by finishInterruptedReplacement() at the next start.
void resetAnswerFiles(const DataRoot& root);
// Writes the 24 answers of an opened examination, each exactly as given ("\r\n" line ends);
// all of them or none, like resetAnswerFiles().
void replaceAnswers(const DataRoot& root, const Answers& answers);
// The 24 answer files' texts as they stand ("\r\n" line ends); a missing one raises
// UserError, since an examination is saved with all of them.
Answers readAnswers(const DataRoot& root);

// Where a replacement of the answers records what it staged until it is complete.
QString journalPath(const DataRoot& root);
// Completes a replacement a crash interrupted (all new answers when every staged file is
// there, all old ones otherwise). Runs at start, before anything reads the answers; raises
// UserError when it cannot.
void finishInterruptedReplacement(const DataRoot& root);

// The answer as an editor shows it ("\n" between lines); a missing file is an empty answer.
QString loadAnswer(const DataRoot& root, int picture);
// Writes an editor's text exactly: lines separated by CR LF, nothing after the last.
void saveAnswer(const DataRoot& root, int picture, const QString& memoText);

} // namespace WorkingFolder
