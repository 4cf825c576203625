#pragma once

#include <QString>
#include <QStringView>
#include <array>

// The four fields of one picture's coding: O-D, E-D, N-P and the parenthesized mark. Each of
// the first three holds up to two two-letter codes concatenated in the order of entry.
struct ScoringLine {
    std::array<QString, 4> fields;

    const QString& field(int column) const { return fields.at(static_cast<size_t>(column - 1)); }
    QString& field(int column) { return fields.at(static_cast<size_t>(column - 1)); }

    // Characters 1-2 and 3-4 of a field; empty when the field is too short.
    static QString firstCode(const QString& field);
    static QString secondCode(const QString& field);
    // Whether the field's first or second code is this one, as firstCode() and secondCode()
    // would compare, without making either.
    static bool holds(const QString& field, QStringView code);

    // 1 for each non-empty field of the first three, plus 1 more for each longer than two.
    int codeCount() const;
    // True when the code is the first or second code of any of the three fields.
    bool contains(const QString& code) const;
    // True when the first three fields are all empty (the picture is not marked).
    bool isEmpty() const;

    bool operator==(const ScoringLine& other) const { return fields == other.fields; }
};
