#pragma once

#include <QString>

class Coding;

// A protocol is made only for an examination with at least this many marked pictures.
constexpr int kMinimumMarkedPictures = 18;

// Whether a protocol (HTML, PDF, print, profile chart, the archive's "Jegyzőkönyv") can be made:
// the one decision every window, the command line and the archive ask, and its texts.
enum class ProtocolRefusal { None, TooFewMarked, AgeOutsideNorms };

namespace ProtocolGate {

// Whether there are norms for the age (AgeBrackets); without them nothing is evaluated.
bool ageHasNorms(int age);
// Too few marked pictures is checked first, so an examination that fails both is refused for
// the pictures, as the too-few window says.
ProtocolRefusal refusal(int markedPictures, int age);
ProtocolRefusal refusal(const Coding& coding, int age);

// The too-few window's two lines: "Kevés a lejelölt válasz, mindössze 17." and
// "Legalább 18 lejelölt válasz szükséges!".
QString tooFewMarkedText(int markedPictures);
QString minimumMarkedText();
// The refusal of an age that has no norms.
QString ageOutsideNormsText(int age);
// One line for a refusal, for the places that show it as text; empty for None.
QString refusalText(ProtocolRefusal refusal, int markedPictures, int age);

} // namespace ProtocolGate
