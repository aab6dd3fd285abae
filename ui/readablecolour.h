#pragma once

#include <QColor>

// Text colours that can be read: a colour asked for is kept where it stands
// out enough from the background the text is drawn on, and is otherwise
// made darker (on a light background) or lighter (on a dark one) in the
// same hue until it does.
namespace readablecolour {

// The contrast ratio of two colours, from 1 (the same) to 21 (black and
// white), by their relative luminance.
double contrast(const QColor &a, const QColor &b);

// The least contrast a text needs against its background.
constexpr double kMinimum = 4.5;
// What a colour that must be changed is aimed at: drawn with smoothed
// edges, a text's strongest pixel stays a little below its colour's ratio.
constexpr double kAim = 5.0;

// `wanted` where it reaches kMinimum against `background`, else the
// nearest colour of its hue that reaches kAim.
QColor readable(const QColor &wanted, const QColor &background);

} // namespace readablecolour
