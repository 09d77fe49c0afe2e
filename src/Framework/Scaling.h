#pragma once
// Every size of the program is given at 96 pixels per inch, the screen its
// forms were laid out on. A form is scaled to the screen's pixels per inch
// when it is created, and what the settings file keeps is scaled back, so
// the file holds the same numbers at any scaling. No window is needed here.
#include "Framework/Placement.h"

constexpr int DesignPixelsPerInch = 96;

// a * b / c rounded to the nearest integer (halves away from zero); -1 for a
// zero divisor or a result beyond the 32-bit range, as the system's MulDiv.
int KvMulDiv(int a, int b, int c);

// Bounds scaled by M/D at their edges, not their size, so that neighbours
// stay flush and a scaling up and back down gives the bounds it started
// from. Worked out in 64 bits (a stored left plus its width may pass the
// 32-bit range) and held within it.
TWindowBounds ScaleBounds(const TWindowBounds& bounds, int M, int D);

// The character height in pixels of a font of this many points.
inline int PointsToPixels(int points, int pixelsPerInch) { return KvMulDiv(points, pixelsPerInch, 72); }
