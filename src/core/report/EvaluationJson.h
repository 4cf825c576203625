#pragma once

#include "core/evaluation/EvaluationResult.h"

#include <QJsonObject>

class Coding;
struct PersonalData;

// Every value of one evaluation as a JSON object: the code and age, the 24 GCR points and their
// sum, the profile, the indices and the five Rauchfleisch indices (null without a value). The
// texts keep the protocol's entities. gyvkt-cli evaluate prints it; the export flattens it.
QJsonObject evaluationJson(const PersonalData& personal, const Coding& coding, const EvaluationResult& result);
