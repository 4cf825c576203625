#include "model/Rounding.h"

#include <cmath>

long double roundHalfEven(long double value) {
    const long double lower = std::floor(value);
    const long double diff = value - lower;
    if (diff < 0.5L)
        return lower;
    if (diff > 0.5L)
        return lower + 1;
    return std::fmod(lower, 2.0L) == 0 ? lower : lower + 1;
}
