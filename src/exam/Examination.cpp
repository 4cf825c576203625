#include "exam/Examination.h"

#include "platform/Cp1250.h"
#include "platform/TextFile.h"

ExaminationData Examination::collect(const DataRoot& root, const PersonalData& personal, const MarkingGrid& grid) {
    ExaminationData data;
    data.personal = personal;
    for (int picture = 1; picture <= 24; ++picture) {
        data.lines[static_cast<size_t>(picture - 1)] = grid.scoringLine(picture);
        data.answers[static_cast<size_t>(picture - 1)] = Cp1250::decode(TextFile::readBytes(root.answerFile(picture)));
    }
    return data;
}

void Examination::apply(const DataRoot& root, const ExaminationData& data, PersonalData& personal, MarkingGrid& grid) {
    for (int picture = 1; picture <= 24; ++picture)
        TextFile::writeBytes(root.answerFile(picture), Cp1250::encode(data.answers[static_cast<size_t>(picture - 1)]));
    personal = data.personal;
    for (int picture = 1; picture <= 24; ++picture)
        grid.setScoringLine(picture, data.lines[static_cast<size_t>(picture - 1)]);
}
