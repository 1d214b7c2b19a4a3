#include "x11_frame.h"

#include <QAbstractNativeEventFilter>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace solvara::ui {

namespace {

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
    xcb_generic_error_t *error = nullptr;
    const XReply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(x, xcb_get_property(x, 0, window, name, type, 0, 1024), &error),
        &std::free);
    const XReply<xcb_generic_error_t> gone(error, &std::free); // an answer, not a fault
    if (!reply || reply->format != 32)
        return {};
    const auto *values = static_cast<const std::uint32_t *>(xcb_get_property_value(reply.get()));
    return {values, values + xcb_get_property_value_length(reply.get()) / 4};
}

// Calls heard, from inside the event dispatch, each time a window's property
// is given a value, for as long as it lives.
class PropertyListener final : public QAbstractNativeEventFilter {
public:
    PropertyListener(xcb_window_t window, xcb_atom_t property, std::function<void()> heard)
        : window_(window)
        , property_(property)
        , heard_(std::move(heard))
    {
        qApp->installNativeEventFilter(this);
    }
    ~PropertyListener() override { qApp->removeNativeEventFilter(this); }
    PropertyListener(const PropertyListener &) = delete;
    PropertyListener &operator=(const PropertyListener &) = delete;

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        if (type != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
            return false;
        const auto *change = reinterpret_cast<const xcb_property_notify_event_t *>(event);
        if (change->window == window_ && change->atom == property_
            && change->state == XCB_PROPERTY_NEW_VALUE)
            heard_();
        return false;
    }

private:
    xcb_window_t window_;
    xcb_atom_t property_;
    std::function<void()> heard_;
};

// Tells the frame each time the manager sets it, from the event loop, until
// told has had enough; it goes with the window, and after five seconds.
class FrameWatch final : public QObject {
public:
    using Told = std::function<bool(const std::optional<QMarginsF> &)>;

    FrameWatch(QWidget &window, const X11Frame &frame, xcb_window_t id, xcb_atom_t extents,
               Told told)
        : QObject(&window)
        , frame_(frame)
        , told_(std::move(told))
        , listener_(id, extents, [this] { framed_.start(); })
    {
        // Told from the event loop, not from inside its dispatch.
        framed_.setSingleShot(true);
        connect(&framed_, &QTimer::timeout, this, &FrameWatch::framed);
        lifetime_.setSingleShot(true);
        connect(&lifetime_, &QTimer::timeout, this, &QObject::deleteLater);
        lifetime_.start(5000);
    }

private:
    void framed()
    {
        if (told_(frame_.drawn()))
            deleteLater();
    }

    X11Frame frame_;
    Told told_;
    QTimer framed_;
    QTimer lifetime_;
    PropertyListener listener_;
};

} // namespace

X11Frame::X11Frame(QWidget &window, xcb_connection_t *x, std::uint32_t root, std::uint32_t id)
    : window_(&window)
    , x_(x)
    , root_(root)
    , id_(id)
    , extents_(atom(x, "_NET_FRAME_EXTENTS"))
{}

std::optional<X11Frame> X11Frame::of(QWidget &window)
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
    return X11Frame(window, x, tree->root, id);
}

std::optional<QMarginsF> X11Frame::drawn() const
{
    // Left, right, top, bottom, in device pixels.
    const auto e = windowProperty(x_, id_, extents_, XCB_ATOM_CARDINAL);
    if (e.size() != 4)
        return std::nullopt;
    return QMarginsF(e[0], e[2], e[1], e[3]) / window_->devicePixelRatioF();
}

std::optional<QMarginsF> X11Frame::announced() const
{
    const xcb_atom_t request = atom(x_, "_NET_REQUEST_FRAME_EXTENTS");
    const auto supported = windowProperty(x_, root_, atom(x_, "_NET_SUPPORTED"), XCB_ATOM_ATOM);
    if (request == XCB_ATOM_NONE
        || std::find(supported.begin(), supported.end(), request) == supported.end())
        return std::nullopt;

    // The answer is the manager setting the window's frame, which the event
    // loop hears; until then, or for 400 ms, the loop runs without the
    // user's input.
    QEventLoop wait;
    const PropertyListener answer(id_, extents_, [&wait] { wait.quit(); });
    QTimer patience;
    patience.setSingleShot(true);
    QObject::connect(&patience, &QTimer::timeout, &wait, &QEventLoop::quit);
    patience.start(400);

    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id_;
    message.type = request;
    xcb_send_event(x_, 0, root_,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(x_);
    wait.exec(QEventLoop::ExcludeUserInputEvents);
    return drawn();
}

void X11Frame::watch(std::function<bool(const std::optional<QMarginsF> &)> told) const
{
    new FrameWatch(*window_, *this, id_, extents_, std::move(told));
}

} // namespace solvara::ui
