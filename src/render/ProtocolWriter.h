#pragma once

#include "model/EvaluationResult.h"
#include "model/PersonalData.h"

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>

class Coding;

// The finished examination protocol: one HTML page of 260 lines. Texts from the examination
// (name, code, date, examiner, the printed grid cells) are HTML-escaped; the evaluation's classes,
// trends and total index are written with the character references of ResultText. The marking table shows the coding
// as it stands, its key and its points.
namespace ProtocolWriter {

constexpr int kLineCount = 260;

QString htmlEscape(const QString& text);

QStringList protocolLines(const PersonalData& personal, const Coding& coding, const EvaluationResult& result,
                          QChar decimalSeparator);
// Windows-1250, CR LF after every line.
QByteArray protocolBytes(const PersonalData& personal, const Coding& coding, const EvaluationResult& result,
                         QChar decimalSeparator);
// Writes the page atomically; a failure raises UserError ("Cannot create file " + path) and
// leaves an existing file as it was. Opening it is the caller's business.
void writeProtocol(const QString& path, const PersonalData& personal, const Coding& coding,
                   const EvaluationResult& result, QChar decimalSeparator);
// The profile chart the page's folder keeps beside it (html/<code>_profil.png), drawn at the size
// the protocol shows it and written atomically; raises UserError when it cannot be drawn or
// written. Drawing needs a QGuiApplication.
void writeProfileChart(const QString& path, const PersonalData& personal, const EvaluationResult& result,
                       QChar decimalSeparator);

} // namespace ProtocolWriter
