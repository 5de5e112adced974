// A tolerant comparison of two screenshots: the share of pixels that have no close match near
// the same place in the other picture, so that font hinting passes and a wrong text does not.
#pragma once

#include <QImage>

namespace zarel::e2e {

struct ImageDifference
{
    double fraction = 1.0; // differing pixels / all pixels; 1.0 when the sizes differ
    int differing = 0;
    int total = 0;
};

// Compares `a` and `b`: a pixel of one picture differs when no pixel of the other within
// `radius` pixels (in x and y) has every colour channel within `fuzz` (0-255) of it. Counted in
// both directions; the larger count is returned. Pictures of different sizes, or empty ones,
// differ completely.
ImageDifference compareImages(const QImage &a, const QImage &b, int fuzz = 48, int radius = 1);

} // namespace zarel::e2e
