#include "readable_text.h"

#include <algorithm>
#include <cmath>

namespace solvara::ui {

namespace {

// Relative luminance of an sRGB colour, 0 (black) to 1 (white).
double luminance(const QColor &c)
{
    auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

} // namespace

double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableText(const QColor &text, const QColor &background)
{
    const QColor from = text.toRgb();
    const QColor to = contrastRatio(Qt::black, background) >= contrastRatio(Qt::white, background)
        ? QColor(Qt::black)
        : QColor(Qt::white);
    QColor c(from.rgb()); // opaque
    for (int step = 1; step <= 255 && contrastRatio(c, background) < kReadableContrast; ++step) {
        auto mix = [&](int a, int b) { return a + (b - a) * step / 255; };
        c = QColor(mix(from.red(), to.red()), mix(from.green(), to.green()),
                   mix(from.blue(), to.blue()));
    }
    return c;
}

} // namespace solvara::ui
