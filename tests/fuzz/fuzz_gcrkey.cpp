// The GCR key reader on any bytes, and the point rules on every picture of what it read.
#include "FuzzInput.h"
#include "base/UserError.h"
#include "model/Coding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzzBytes(data, size);
    GcrKey key;
    try {
        key = GcrKey::parse(bytes, QStringLiteral("fuzz.gcr"));
    } catch (const UserError&) {
        return 0;
    }
    // The key's own codes, entered as a coding, score within the rules' range.
    Coding coding(key, {});
    for (int picture = 1; picture <= kPictureCount; ++picture) {
        ScoringLine line;
        line.field(1) = key.pair(picture).k1.left(4);
        line.field(2) = key.pair(picture).k2.left(4);
        coding.setLine(picture, line);
        const double point = coding.point(picture);
        fuzzCheck(point == 0.0 || point == 0.5 || point == 1.0, "a point is 0, 0.5 or 1");
    }
    const double total = coding.gcrPoints();
    fuzzCheck(total >= 0 && total <= kPictureCount, "the total stays within 0 to 24");
    return 0;
}
