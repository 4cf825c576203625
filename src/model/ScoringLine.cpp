#include "model/ScoringLine.h"

QString ScoringLine::firstCode(const QString& field) {
    return field.left(2);
}

QString ScoringLine::secondCode(const QString& field) {
    return field.size() > 2 ? field.mid(2, 2) : QString();
}

bool ScoringLine::holds(const QString& field, QStringView code) {
    const QStringView f(field);
    // A field of two characters or fewer has an empty second code.
    return f.left(2) == code || (f.size() > 2 ? f.mid(2, 2) == code : code.isEmpty());
}

int ScoringLine::codeCount() const {
    int count = 0;
    for (int column = 1; column <= 3; ++column) {
        const QString& f = field(column);
        if (!f.isEmpty())
            ++count;
        if (f.size() > 2)
            ++count;
    }
    return count;
}

bool ScoringLine::contains(const QString& code) const {
    for (int column = 1; column <= 3; ++column) {
        if (holds(field(column), code))
            return true;
    }
    return false;
}

bool ScoringLine::isEmpty() const {
    return field(1).isEmpty() && field(2).isEmpty() && field(3).isEmpty();
}
