#pragma once

#include "model/Pictures.h"
#include "model/ScoringLine.h"

#include <QString>
#include <array>

// The expected codes of each picture, read from magyar.gcr, and the GCR point rules.
class GcrKey {
public:
    struct Pair {
        QString k1;
        QString k2;
        // A pair with only k2 set counts as no key.
        bool hasKey() const { return !k1.isEmpty(); }
        bool isDouble() const { return !k1.isEmpty() && !k2.isEmpty(); }
        // Column 5 of the grid: k1, a blank, k2.
        QString displayText() const { return k1 + QLatin1Char(' ') + k2; }
        bool operator==(const Pair& o) const { return k1 == o.k1 && k2 == o.k2; }
    };

    GcrKey() = default;

    // Reads the key file: a heading line, then 24 lines "k1,k2;". Raises UserError when the
    // file is missing or unreadable, or when it is too short or a key line lacks its "," or
    // ";" (the message names the file and the line).
    static GcrKey load(const QString& path);
    // Parses the file's bytes; path only names the file in messages.
    static GcrKey parse(const QByteArray& bytes, const QString& path);

    const Pair& pair(int picture) const { return m_pairs.at(static_cast<size_t>(picture - 1)); }
    Pair& pair(int picture) { return m_pairs.at(static_cast<size_t>(picture - 1)); }

    // How many of the picture's codes agree with its key (not counted without a key).
    static int matches(const ScoringLine& line, const Pair& key);
    // "0.0", "0.5" or "1", by the ordered rules of the scoring.
    static QString point(const ScoringLine& line, const Pair& key);
    // A point text as a number ("0.0" 0, "0.5" 0.5, "1" 1).
    static double pointValue(const QString& text);
    // "GCR érték összesen: " + the sum right-aligned in 4 characters with one decimal.
    static QString totalText(double gcrPoints);

    bool operator==(const GcrKey& other) const { return m_pairs == other.m_pairs; }

private:
    std::array<Pair, kPictureCount> m_pairs;
};
