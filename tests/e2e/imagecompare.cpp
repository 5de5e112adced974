// The tolerant screenshot comparison.
#include "imagecompare.h"

#include <algorithm>
#include <cstdlib>

namespace zarel::e2e {

namespace {

bool closeColours(QRgb p, QRgb q, int fuzz)
{
    return std::abs(qRed(p) - qRed(q)) <= fuzz && std::abs(qGreen(p) - qGreen(q)) <= fuzz
        && std::abs(qBlue(p) - qBlue(q)) <= fuzz;
}

// The pixels of `from` with no close pixel of `to` in their neighbourhood.
int unmatchedPixels(const QImage &from, const QImage &to, int fuzz, int radius)
{
    const int w = from.width();
    const int h = from.height();
    int unmatched = 0;
    for (int y = 0; y < h; ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(from.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            bool matched = false;
            for (int ny = std::max(0, y - radius); ny <= std::min(h - 1, y + radius) && !matched;
                 ++ny) {
                const auto *other = reinterpret_cast<const QRgb *>(to.constScanLine(ny));
                for (int nx = std::max(0, x - radius); nx <= std::min(w - 1, x + radius); ++nx) {
                    if (closeColours(row[x], other[nx], fuzz)) {
                        matched = true;
                        break;
                    }
                }
            }
            if (!matched)
                ++unmatched;
        }
    }
    return unmatched;
}

} // namespace

ImageDifference compareImages(const QImage &a, const QImage &b, int fuzz, int radius)
{
    ImageDifference result;
    if (a.isNull() || b.isNull() || a.size() != b.size())
        return result;
    const QImage ca = a.convertToFormat(QImage::Format_RGB32);
    const QImage cb = b.convertToFormat(QImage::Format_RGB32);
    result.total = ca.width() * ca.height();
    result.differing
        = std::max(unmatchedPixels(ca, cb, fuzz, radius), unmatchedPixels(cb, ca, fuzz, radius));
    result.fraction = static_cast<double>(result.differing) / result.total;
    return result;
}

} // namespace zarel::e2e
