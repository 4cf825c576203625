#pragma once

#include "model/EvaluationResult.h"

#include <QChar>
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
