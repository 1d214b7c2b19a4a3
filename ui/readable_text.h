#pragma once

#include <QColor>

// Text that stays readable on its background, in the sense of the WCAG
// contrast ratio between two colours.
namespace solvara::ui {

// The contrast ratio that body text needs against its background.
inline constexpr double kReadableContrast = 4.5;

// Given: two colours, in sRGB (alpha ignored).
// Returned: their contrast ratio, (L1 + 0.05) / (L2 + 0.05) of the lighter
//        one's relative luminance L1 and the darker one's L2: from 1 (equal)
//        to 21 (black on white).
double contrastRatio(const QColor &a, const QColor &b);

// Given: a text colour and the background it is drawn on.
// Returned: the text colour, opaque, moved in steps of 1/255 toward black, or
//        toward white where white contrasts more with the background, until
//        it reaches kReadableContrast; unchanged when it already does.
// Notes: so a light theme's faint grey turns darker and a dark theme's dim
//        grey lighter, each no further than needed. Black or white is the
//        end of the way when even that stays below the ratio.
QColor readableText(const QColor &text, const QColor &background);

} // namespace solvara::ui
