#include "centraform.h"

#include "layout.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

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

template <typename T>
using XReply = std::unique_ptr<T, decltype(&std::free)>;

xcb_atom_t atom(xcb_connection_t *x, const char *name)
{
    const XReply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, std::uint16_t(std::strlen(name)), name),
                              nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The 32-bit values of a window's property; none when it is not set.
std::vector<std::uint32_t> property(xcb_connection_t *x, xcb_window_t window, xcb_atom_t name,
                                    xcb_atom_t type)
{
    const XReply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(x, xcb_get_property(x, 0, window, name, type, 0, 1024), nullptr),
        &std::free);
    if (!reply || reply->format != 32)
        return {};
    const auto *values = static_cast<const std::uint32_t *>(xcb_get_property_value(reply.get()));
    return {values, values + xcb_get_property_value_length(reply.get()) / 4};
}

// The frame an X11 window manager will draw around the window, in logical
// pixels, asked of the manager before the window is mapped; nothing when no
// manager that tells its frames answers within a short wait.
std::optional<QMarginsF> managerFrame(QWidget &window)
{
    // Other platforms (offscreen among them) may offer an X display too, but
    // their windows are not X windows.
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *x = x11 ? x11->connection() : nullptr;
    if (!x || QGuiApplication::platformName() != QLatin1String("xcb"))
        return std::nullopt;
    const auto id = static_cast<xcb_window_t>(window.winId());
    const XReply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(x, xcb_query_tree(x, id), nullptr),
                                              &std::free);
    if (!tree)
        return std::nullopt;
    const xcb_atom_t request = atom(x, "_NET_REQUEST_FRAME_EXTENTS");
    const auto supported = property(x, tree->root, atom(x, "_NET_SUPPORTED"), XCB_ATOM_ATOM);
    if (request == XCB_ATOM_NONE || std::find(supported.begin(), supported.end(), request) == supported.end())
        return std::nullopt;

    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = request;
    xcb_send_event(x, 0, tree->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(x);

    // The answer is a property on the window: left, right, top, bottom.
    const xcb_atom_t extents = atom(x, "_NET_FRAME_EXTENTS");
    const QDeadlineTimer patience(400);
    do {
        const auto e = property(x, id, extents, XCB_ATOM_CARDINAL);
        if (e.size() == 4)
            return QMarginsF(e[0], e[2], e[1], e[3]) / window.devicePixelRatioF();
        QThread::msleep(10);
    } while (!patience.hasExpired());
    return std::nullopt;
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
    const WindowState state = qtState & Qt::WindowMinimized   ? WindowState::Minimised
                              : qtState & Qt::WindowMaximized ? WindowState::Maximised
                                                              : WindowState::Normal;
    const QScreen *screen = window.screen();
    if (!screen || state != WindowState::Normal)
        return;
    // The frame as the platform knows it so far, or as the manager will draw it.
    QMarginsF frame = window.windowHandle() ? QMarginsF(window.windowHandle()->frameMargins())
                                            : QMarginsF();
    if (const auto announced = managerFrame(window))
        frame = *announced;

    constexpr int t = solvara::ui::kTwipsPerPixel;
    const QRectF outer = QRectF(window.geometry()) + frame;
    const QRect area = screen->geometry();
    const auto offsets = centredOffsets(state, outer.width() * t, outer.height() * t,
                                        double(area.width()) * t, double(area.height()) * t);
    if (!offsets)
        return;
    // The client area goes inside the centred frame; placed before the window
    // is mapped, it appears there without a jump.
    const QPointF client(area.left() + double(offsets->left) / t + frame.left(),
                         area.top() + double(offsets->top) / t + frame.top());
    window.setGeometry(QRect(client.toPoint(), window.size()));
}

} // namespace CentraForm
