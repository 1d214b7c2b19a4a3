#pragma once

#include <QMarginsF>

#include <cstdint>
#include <functional>
#include <optional>

class QWidget;
struct xcb_connection_t;

namespace solvara::ui {

// A window's X11 side under a running window manager, and what the manager
// tells of the frame it draws around the window (_NET_FRAME_EXTENTS), in the
// window's logical pixels.
class X11Frame {
public:
    // The window's X11 side when it is an X window and a window manager runs:
    // one whose check window, named on the root window, still names itself
    // (properties a manager that has exited left on the root window are not
    // trusted). Nothing elsewhere (offscreen, Wayland, no manager).
    static std::optional<X11Frame> of(QWidget &window);

    // The frame the manager will draw, asked of it before the window is
    // mapped; nothing when the manager does not tell frames in advance or
    // does not answer within 400 ms. Meanwhile the program's events go on,
    // save the user's input, which waits.
    std::optional<QMarginsF> announced() const;

    // Calls told from the event loop, with the frame or nothing, each time
    // the manager sets the window's frame, until told returns true, the
    // window is gone or five seconds have passed.
    void watch(std::function<bool(const std::optional<QMarginsF> &)> told) const;

    // The frame the manager has set for the window; nothing before it has.
    std::optional<QMarginsF> drawn() const;

private:
    X11Frame(QWidget &window, xcb_connection_t *x, std::uint32_t root, std::uint32_t id);

    QWidget *window_;
    xcb_connection_t *x_;
    std::uint32_t root_; // xcb_window_t
    std::uint32_t id_; // xcb_window_t
    std::uint32_t extents_; // xcb_atom_t of _NET_FRAME_EXTENTS
};

} // namespace solvara::ui
