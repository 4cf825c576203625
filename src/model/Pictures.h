#pragma once

// The test has 24 pictures, numbered 1 to 24; every per-picture table has this many rows.
constexpr int kPictureCount = 24;

inline bool isPicture(int picture) {
    return picture >= 1 && picture <= kPictureCount;
}
