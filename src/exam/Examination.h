#pragma once

#include "exam/ExaminationFile.h"
#include "exam/PersonalData.h"
#include "marking/MarkingGrid.h"
#include "platform/DataRoot.h"

// Moves a whole examination between the places it lives in (the personal data, the marking
// grid and the answer files) and the examination file's data.
namespace Examination {

// Reads the 24 answer files; a missing one raises FileError and nothing is returned.
ExaminationData collect(const DataRoot& root, const PersonalData& personal, const MarkingGrid& grid);

// Rewrites the 24 answer files from the data, then takes over its personal data and the
// four coding columns of the grid. Columns 5 and 6 stay for the next point recomputation.
void apply(const DataRoot& root, const ExaminationData& data, PersonalData& personal, MarkingGrid& grid);

} // namespace Examination
