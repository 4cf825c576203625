#pragma once

#include "model/Comparison.h"
#include "model/EvaluationNumbers.h"
#include "model/EvaluationResult.h"

#include <QByteArray>
#include <QChar>
#include <QJsonArray>
#include <QJsonObject>

class Coding;
struct PersonalData;

// Every value of one evaluation as a JSON object: the code and age, the 24 GCR points and their
// sum, the profile, the indices and the five Rauchfleisch indices (null without a value). The
// classes, trends and total index are the protocol's texts as plain characters (">Q3",
// "MV <- -0.6"), the trends' and total index's numbers with the separator. gyvkt-cli evaluate
// prints it.
QJsonObject evaluationJson(const PersonalData& personal, const Coding& coding, const EvaluationResult& result,
                           QChar decimalSeparator);

// The same values as compact JSON text, with the code or without it (where the code would name
// the child): what the institution archive keeps of each upload.
enum class EvaluationCode { Included, LeftOut };
QByteArray evaluationJsonText(const PersonalData& personal, const Coding& coding, const EvaluationResult& result,
                              QChar decimalSeparator, EvaluationCode code);

// The numbers of an evaluation alone, under the keys and in the nesting evaluationJson() gives
// them: what a comparison's "changes" hold.
QJsonObject numbersJson(const EvaluationNumbers& numbers);

// A comparison as gyvkt-cli compare writes it: one object per examination in date order, with
// "file" and "date" beside the keys of evaluationJson(), and "changes" for each evaluated
// examination after the first. A refused examination has its code, age and the refusal under
// "error" only.
QJsonArray comparisonJson(const Comparison& comparison, QChar decimalSeparator);
