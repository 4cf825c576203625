#pragma once

#include "model/PersonalData.h"
#include "model/Pictures.h"
#include "model/ScoringLine.h"

#include <QByteArray>
#include <QString>
#include <array>

// One whole examination as the .kvx file holds it.
struct ExaminationData {
    PersonalData personal;
    std::array<ScoringLine, kPictureCount> lines;
    // Each answer exactly as its answer file holds it after reading: every line followed by
    // CR LF ("\r\n" in the text), an empty answer empty.
    std::array<QString, kPictureCount> answers;
};

// The .kvx examination file: 5 header lines, 24 ScoringLines, then 24 answer blocks
// "[n]" ... "[/n]". Windows-1250, CR LF after every line.
namespace ExaminationFile {

// The subject code a path gives: between the last "\" or "/" and the last ".", with a-z upper-
// cased; empty when there is no "." after the last separator.
QString codeFromPath(const QString& path);

// Reads and checks the whole file; raises UserError ("File not found: " + path, or a Hungarian
// message naming the file and the line) without changing anything.
ExaminationData read(const QString& path);
ExaminationData parse(const QByteArray& bytes, const QString& path);

// The file's bytes for an examination. Answers are split into lines by the reading rules.
QByteArray serialize(const ExaminationData& data);
// Writes atomically: a failure leaves an existing file as it was.
void write(const QString& path, const ExaminationData& data);

} // namespace ExaminationFile
