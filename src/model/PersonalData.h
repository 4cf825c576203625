#pragma once

#include <QString>

// The subject's data. The code is not stored in the examination file: it is the file's base
// name, and it names the protocol.
struct PersonalData {
    enum class Sex { Boy, Girl };

    QString code;
    QString name;
    Sex sex = Sex::Boy;
    qint32 age = 10;
    QString date;
    QString examiner;

    // What a new examination does: everything but the code back to its initial value.
    void resetKeepingCode();

    bool operator==(const PersonalData& other) const;
};
