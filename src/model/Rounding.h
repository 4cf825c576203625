#pragma once

// Rounds to the nearest whole number, an exact half to the even neighbour.
long double roundHalfEven(long double value);
