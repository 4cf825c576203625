#pragma once

#include "model/GcrKey.h"
#include "model/Pictures.h"
#include "model/ScoreCode.h"
#include "model/ScoringLine.h"

#include <QString>
#include <array>

// The coding of one examination: the 24 ScoringLines with the GCR key they are scored
// against. It holds the marking rules (a code appended to its column's field, never twice,
// never a third before one is deleted) and derives every point from the lines at the moment
// it is asked, so no number can lag behind the codes.
class Coding {
public:
    using Lines = std::array<ScoringLine, kPictureCount>;

    Coding() = default;
    Coding(GcrKey key, const Lines& lines);

    const GcrKey& key() const { return m_key; }
    void setKey(const GcrKey& key) { m_key = key; }

    const ScoringLine& line(int picture) const;
    void setLine(int picture, const ScoringLine& line);
    const Lines& lines() const { return m_lines; }
    // Every picture unmarked, the parenthesized marks emptied too (a new examination).
    void clearLines();

    // What pressing a code's button on a picture does.
    enum class Entry {
        Append,       // the code goes to the end of its column's field
        Duplicate,    // the picture has it already: refused
        NeedsDeletion // the picture carries two codes: one must be deleted first
    };
    Entry entryFor(int picture, const ScoreCode& code) const;
    // Appends the code when entryFor() says Append; true when it did.
    bool enter(int picture, const ScoreCode& code);

    // The deletion dialog's seven buttons for a line: first and second code of O-D, E-D and
    // N-P, then the whole parenthesized mark.
    using DeletionButtons = std::array<QString, 7>;
    static DeletionButtons deletionButtons(const ScoringLine& line);
    // The line the buttons left up rebuild: each field from its two buttons, each button's text
    // cut to four characters, the pressed ones left out.
    static ScoringLine afterDeletion(const DeletionButtons& buttons, const std::array<bool, 7>& pressed);

    // "0.0", "0.5" or "1" by the ordered point rules.
    QString pointText(int picture) const;
    double point(int picture) const;
    // The 24 points added in picture order.
    double gcrPoints() const;
    // "GCR érték összesen: " and the sum in a field of four with one decimal.
    QString totalText() const;
    // Pictures with at least one code in the first three fields: the too-few rule's count.
    int markedPictureCount() const;

    bool operator==(const Coding& other) const;

private:
    GcrKey m_key;
    Lines m_lines;
};
