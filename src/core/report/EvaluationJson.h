#pragma once

#include "core/evaluation/EvaluationResult.h"
#include "core/report/ResultText.h"

#include <QJsonObject>

class Coding;
struct PersonalData;

// Every value of one evaluation as a JSON object: the code and age, the 24 GCR points and their
// sum, the profile, the indices and the five Rauchfleisch indices (null without a value). The
// classes, trends and total index are texts in the given form, the trends' and total index's
// numbers with the separator. gyvkt-cli evaluate prints it with the protocol's references.
QJsonObject evaluationJson(const PersonalData& personal, const Coding& coding, const EvaluationResult& result,
                           QChar decimalSeparator, ResultText::Form form = ResultText::Form::Html);
