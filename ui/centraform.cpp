#include "centraform.h"

#include "layout.h"

#include <QScreen>
#include <QWidget>

#include <cmath>
#include <cstdint>
#include <limits>

namespace CentraForm {

namespace {

// Rounds half to even into a 32-bit integer, then halves toward zero;
// nothing when the rounded difference does not fit.
std::optional<std::int32_t> halfDifference(double difference)
{
    if (!std::isfinite(difference))
        return std::nullopt;
    const double rounded = std::nearbyint(difference); // to nearest, ties to even
    if (rounded < std::numeric_limits<std::int32_t>::min()
        || rounded > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(rounded) / 2;
}

} // namespace

std::optional<Offsets> centredOffsets(WindowState state, double windowWidth, double windowHeight,
                                      double screenWidth, double screenHeight)
{
    if (state != WindowState::Normal)
        return std::nullopt;
    const auto top = halfDifference(screenHeight - windowHeight);
    const auto left = halfDifference(screenWidth - windowWidth);
    if (!top || !left || *left < std::numeric_limits<std::int16_t>::min()
        || *left > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return Offsets{*left, *top};
}

void Centra(QWidget &window)
{
    const Qt::WindowStates qtState = window.windowState();
    const WindowState state = qtState & Qt::WindowMinimized   ? WindowState::Minimised
                              : qtState & Qt::WindowMaximized ? WindowState::Maximised
                                                              : WindowState::Normal;
    const QScreen *screen = window.screen();
    if (!screen)
        return;
    constexpr int t = solvara::ui::kTwipsPerPixel;
    const QRect frame = window.frameGeometry();
    const QRect area = screen->geometry();
    const auto offsets = centredOffsets(state, double(frame.width()) * t, double(frame.height()) * t,
                                        double(area.width()) * t, double(area.height()) * t);
    if (!offsets)
        return;
    window.move(area.left() + static_cast<int>(std::lround(double(offsets->left) / t)),
                area.top() + static_cast<int>(std::lround(double(offsets->top) / t)));
}

} // namespace CentraForm
