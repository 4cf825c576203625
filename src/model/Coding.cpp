#include "model/Coding.h"

Coding::Coding(GcrKey key, const Lines& lines) : m_key(std::move(key)), m_lines(lines) {}

const ScoringLine& Coding::line(int picture) const {
    return m_lines.at(static_cast<size_t>(picture - 1));
}

void Coding::setLine(int picture, const ScoringLine& line) {
    m_lines.at(static_cast<size_t>(picture - 1)) = line;
}

void Coding::clearLines() {
    m_lines.fill(ScoringLine());
}

Coding::Entry Coding::entryFor(int picture, const ScoreCode& code) const {
    const ScoringLine& l = line(picture);
    if (l.contains(code.text()))
        return Entry::Duplicate;
    if (l.codeCount() >= 2)
        return Entry::NeedsDeletion;
    return Entry::Append;
}

bool Coding::enter(int picture, const ScoreCode& code) {
    if (entryFor(picture, code) != Entry::Append)
        return false;
    ScoringLine l = line(picture);
    l.field(code.column) += code.text();
    setLine(picture, l);
    return true;
}

Coding::DeletionButtons Coding::deletionButtons(const ScoringLine& line) {
    DeletionButtons buttons;
    for (int column = 1; column <= 3; ++column) {
        buttons[static_cast<size_t>(2 * column - 2)] = ScoringLine::firstCode(line.field(column));
        buttons[static_cast<size_t>(2 * column - 1)] = ScoringLine::secondCode(line.field(column));
    }
    buttons[6] = line.field(4);
    return buttons;
}

ScoringLine Coding::afterDeletion(const DeletionButtons& buttons, const std::array<bool, 7>& pressed) {
    auto remaining = [&](size_t i) { return pressed[i] ? QString() : buttons[i].left(4); };
    ScoringLine line;
    for (int column = 1; column <= 3; ++column) {
        const auto first = static_cast<size_t>(2 * column - 2);
        line.field(column) = remaining(first) + remaining(first + 1);
    }
    line.field(4) = remaining(6);
    return line;
}

QString Coding::pointText(int picture) const {
    return GcrKey::point(line(picture), m_key.pair(picture));
}

double Coding::point(int picture) const {
    return GcrKey::pointValue(pointText(picture));
}

double Coding::gcrPoints() const {
    double sum = 0.0;
    for (int picture = 1; picture <= kPictureCount; ++picture)
        sum += point(picture);
    return sum;
}

QString Coding::totalText() const {
    return GcrKey::totalText(gcrPoints());
}

int Coding::markedPictureCount() const {
    int count = 0;
    for (const ScoringLine& l : m_lines)
        count += l.isEmpty() ? 0 : 1;
    return count;
}

bool Coding::operator==(const Coding& other) const {
    return m_lines == other.m_lines && m_key == other.m_key;
}
