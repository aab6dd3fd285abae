#include "readablecolour.h"

#include <cmath>

namespace readablecolour {
namespace {
double channel(double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); }

double luminance(const QColor &c)
{
    const QColor rgb = c.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) + 0.0722 * channel(rgb.blueF());
}
} // namespace

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readable(const QColor &wanted, const QColor &background)
{
    if (contrast(wanted, background) >= kMinimum)
        return wanted;
    // Towards black on a light background, towards white on a dark one,
    // in small steps of lightness so that the hue stays what it was.
    const bool darken = luminance(background) > 0.18;
    const QColor hsl = wanted.toHsl();
    for (int step = 1; step <= 100; ++step) {
        const double l = darken ? hsl.lightnessF() * (1.0 - step / 100.0)
                                : hsl.lightnessF() + (1.0 - hsl.lightnessF()) * step / 100.0;
        const QColor candidate = QColor::fromHslF(hsl.hslHueF(), hsl.hslSaturationF(), l).toRgb();
        if (contrast(candidate, background) >= kAim)
            return candidate;
    }
    return darken ? QColor(Qt::black) : QColor(Qt::white);
}

} // namespace readablecolour
