#include "model/PersonalData.h"

void PersonalData::resetKeepingCode() {
    name.clear();
    age = 10;
    date.clear();
    examiner.clear();
    sex = Sex::Boy;
}

bool PersonalData::operator==(const PersonalData& other) const {
    return code == other.code && name == other.name && sex == other.sex && age == other.age && date == other.date &&
           examiner == other.examiner;
}
