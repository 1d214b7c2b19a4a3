#include "centraform.h"

#include "layout.h"
#include "x11_frame.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>
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

// The monitor in use: the one holding the pointer, else the primary one.
QScreen *screenInUse()
{
    if (QScreen *pointed = QGuiApplication::screenAt(QCursor::pos()))
        return pointed;
    return QGuiApplication::primaryScreen();
}

// Places the window so that its outer frame (its client area widened by
// frame) stands centred on the monitor, or, where that would put the frame's
// top or left edge outside the monitor's available area (a window taller or
// wider than the monitor, a panel in the way), with that corner at the
// area's, so the caption stays within reach. Returns false when the window
// stays where it is, its offsets past what they may hold.
bool place(QWidget &window, const QScreen &screen, const QMarginsF &frame)
{
    constexpr int t = solvara::ui::kTwipsPerPixel;
    const QRectF outer = QRectF(window.geometry()) + frame;
    const QRect area = screen.geometry();
    const auto offsets = centredOffsets(WindowState::Normal, outer.width() * t, outer.height() * t,
                                        double(area.width()) * t, double(area.height()) * t);
    if (!offsets)
        return false;
    const QRect reach = screen.availableGeometry();
    const QPointF corner(std::max(area.left() + double(offsets->left) / t, double(reach.left())),
                         std::max(area.top() + double(offsets->top) / t, double(reach.top())));
    const QPoint client = (corner + QPointF(frame.left(), frame.top())).toPoint();
    window.setGeometry(QRect(client, window.size()));
    return true;
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
    // A Wayland compositor places windows itself.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return;
    const Qt::WindowStates qtState = window.windowState();
    const WindowState state = qtState & Qt::WindowMinimized ? WindowState::Minimised
        : qtState & Qt::WindowMaximized                     ? WindowState::Maximised
                                                            : WindowState::Normal;
    // Kept while the manager is asked for its frame, with the program's
    // events going on.
    const QPointer<QScreen> screen = screenInUse();
    if (!screen || state != WindowState::Normal)
        return;
    // The frame as the platform knows it so far, or as the manager will draw
    // it. Placed before the window is mapped, the window appears there
    // without a jump.
    QMarginsF frame =
        window.windowHandle() ? QMarginsF(window.windowHandle()->frameMargins()) : QMarginsF();
    const auto manager = solvara::ui::X11Frame::of(window);
    if (manager)
        if (const auto announced = manager->announced())
            frame = *announced;
    if (!screen || !place(window, *screen, frame) || !manager)
        return;
    // Where the manager tells the frame only once it has framed the window,
    // the place assumed another frame: when the drawn frame differs, the
    // window is placed again, once. Given up when the window leaves the
    // normal state or the monitor is gone.
    manager->watch([&window, screen, frame](const std::optional<QMarginsF> &drawn) {
        if (!screen || window.windowState() != Qt::WindowNoState)
            return true;
        if (!drawn || *drawn == frame)
            return false;
        place(window, *screen, *drawn);
        return true;
    });
}

} // namespace CentraForm
