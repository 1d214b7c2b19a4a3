#include "centraform.h"

#include "layout.h"

#include <QAbstractNativeEventFilter>
#include <QCursor>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QThread>
#include <QTimer>
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

template<typename T>
using XReply = std::unique_ptr<T, decltype(&std::free)>;

xcb_atom_t atom(xcb_connection_t *x, const char *name)
{
    const XReply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, std::uint16_t(std::strlen(name)), name),
                              nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The 32-bit values of a window's property; none when it is not set or the
// window is gone.
std::vector<std::uint32_t> windowProperty(xcb_connection_t *x, xcb_window_t window, xcb_atom_t name,
                                          xcb_atom_t type)
{
    xcb_generic_error_t *error = nullptr; // a window gone is an answer, not a fault
    const XReply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(x, xcb_get_property(x, 0, window, name, type, 0, 1024), &error),
        &std::free);
    std::free(error);
    if (!reply || reply->format != 32)
        return {};
    const auto *values = static_cast<const std::uint32_t *>(xcb_get_property_value(reply.get()));
    return {values, values + xcb_get_property_value_length(reply.get()) / 4};
}

// A frame as _NET_FRAME_EXTENTS gives it (left, right, top, bottom, in device
// pixels), in the window's logical pixels; nothing when it is not a frame.
std::optional<QMarginsF> frameFrom(const std::vector<std::uint32_t> &e, const QWidget &window)
{
    if (e.size() != 4)
        return std::nullopt;
    return QMarginsF(e[0], e[2], e[1], e[3]) / window.devicePixelRatioF();
}

// The X11 side of a window framed by a running manager.
struct Managed {
    xcb_connection_t *x;
    xcb_window_t root;
    xcb_window_t id;
};

// The window's X11 side when a window manager runs: one whose check window,
// named on the root window, still names itself. Properties a manager that
// has exited left on the root window are not trusted.
std::optional<Managed> managed(QWidget &window)
{
    // Other platforms (offscreen among them) may offer an X display too, but
    // their windows are not X windows.
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *x = x11 ? x11->connection() : nullptr;
    if (!x || QGuiApplication::platformName() != QLatin1String("xcb"))
        return std::nullopt;
    const auto id = static_cast<xcb_window_t>(window.winId());
    const XReply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(x, xcb_query_tree(x, id), nullptr), &std::free);
    if (!tree)
        return std::nullopt;
    const xcb_atom_t check = atom(x, "_NET_SUPPORTING_WM_CHECK");
    const auto named = windowProperty(x, tree->root, check, XCB_ATOM_WINDOW);
    if (named.size() != 1 || windowProperty(x, named[0], check, XCB_ATOM_WINDOW) != named)
        return std::nullopt;
    return Managed{x, tree->root, id};
}

// The frame the manager will draw around the window, in logical pixels,
// asked of it before the window is mapped; nothing when the manager does not
// tell frames in advance or does not answer within a short wait.
std::optional<QMarginsF> announcedFrame(const Managed &m, const QWidget &window)
{
    const xcb_atom_t request = atom(m.x, "_NET_REQUEST_FRAME_EXTENTS");
    const auto supported = windowProperty(m.x, m.root, atom(m.x, "_NET_SUPPORTED"), XCB_ATOM_ATOM);
    if (request == XCB_ATOM_NONE
        || std::find(supported.begin(), supported.end(), request) == supported.end())
        return std::nullopt;

    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = m.id;
    message.type = request;
    xcb_send_event(m.x, 0, m.root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(m.x);

    const xcb_atom_t extents = atom(m.x, "_NET_FRAME_EXTENTS");
    const QDeadlineTimer patience(400);
    do {
        if (const auto frame =
                frameFrom(windowProperty(m.x, m.id, extents, XCB_ATOM_CARDINAL), window))
            return frame;
        QThread::msleep(10);
    } while (!patience.hasExpired());
    return std::nullopt;
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

// Where the manager tells the frame only once it has framed the window, the
// first placement assumed another frame: when the drawn frame appears and
// differs, the window is placed again, once. It watches for a few seconds
// at most, and gives up when the window leaves the normal state.
class FrameWatch final : public QObject, public QAbstractNativeEventFilter {
public:
    FrameWatch(QWidget &window, const Managed &m, QScreen &screen, const QMarginsF &assumed)
        : QObject(&window)
        , window_(window)
        , managed_(m)
        , screen_(&screen)
        , assumed_(assumed)
        , extents_(atom(m.x, "_NET_FRAME_EXTENTS"))
    {
        qApp->installNativeEventFilter(this);
        QTimer::singleShot(5000, this, [this] { deleteLater(); });
    }
    ~FrameWatch() override { qApp->removeNativeEventFilter(this); }
    FrameWatch(const FrameWatch &) = delete;
    FrameWatch &operator=(const FrameWatch &) = delete;

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        if (type != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
            return false;
        const auto *change = reinterpret_cast<const xcb_property_notify_event_t *>(event);
        if (change->window == managed_.id && change->atom == extents_
            && change->state == XCB_PROPERTY_NEW_VALUE)
            // Moved from the event loop, not from inside its dispatch.
            QMetaObject::invokeMethod(this, &FrameWatch::framed, Qt::QueuedConnection);
        return false;
    }

private:
    void framed()
    {
        const auto drawn = frameFrom(
            windowProperty(managed_.x, managed_.id, extents_, XCB_ATOM_CARDINAL), window_);
        if (!screen_ || window_.windowState() != Qt::WindowNoState) {
            deleteLater();
            return;
        }
        if (!drawn || *drawn == assumed_)
            return;
        place(window_, *screen_, *drawn);
        deleteLater();
    }

    QWidget &window_;
    Managed managed_;
    QPointer<QScreen> screen_;
    QMarginsF assumed_;
    xcb_atom_t extents_;
};

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
    QScreen *screen = screenInUse();
    if (!screen || state != WindowState::Normal)
        return;
    // The frame as the platform knows it so far, or as the manager will draw
    // it. Placed before the window is mapped, the window appears there
    // without a jump; where the manager tells its frame only once drawn, the
    // place is corrected then.
    QMarginsF frame =
        window.windowHandle() ? QMarginsF(window.windowHandle()->frameMargins()) : QMarginsF();
    const auto manager = managed(window);
    if (manager)
        if (const auto announced = announcedFrame(*manager, window))
            frame = *announced;
    if (place(window, *screen, frame) && manager)
        new FrameWatch(window, *manager, *screen, frame);
}

} // namespace CentraForm
