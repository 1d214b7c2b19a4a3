#pragma once

#include <optional>

class QWidget;

// Centring a window on its screen when it opens.
namespace CentraForm {

enum class WindowState { Normal, Minimised, Maximised };

// Offsets of the window's outer top-left corner from the screen's, in twips.
struct Offsets {
    int left;
    int top;
    bool operator==(const Offsets &) const = default;
};

// Given: the window's state, its outer width and height (frame and caption
//        included) and the screen's width and height, all in twips.
// Returned: where to put the window so it has equal margins on both sides,
//        or nothing when it is to stay where it is: when it is minimised or
//        maximised, or when an offset does not fit its integer (the left one
//        is 16-bit, -32768 to 32767; the top one 32-bit).
// Notes: each difference is rounded half to even, then halved toward zero.
//        A window larger than the screen gets negative offsets and sticks out
//        equally on both sides.
std::optional<Offsets> centredOffsets(WindowState state, double windowWidth, double windowHeight,
                                      double screenWidth, double screenHeight);

// Moves the window, before it is shown, so that its outer frame stands
// centred on the monitor in use (the one holding the pointer, else the
// primary one), its top-left corner kept inside the monitor's available area
// so that the caption stays within reach; where the window manager tells
// its frame only once drawn, corrects the place once then. Leaves the window
// where it is when it cannot be centred. Never fails.
void Centra(QWidget &window);

} // namespace CentraForm
