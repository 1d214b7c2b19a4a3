#pragma once

#include <string>
#include <vector>

namespace solvara::ui {

// The main window described as a form: every control with its place in twips
// (1/1440 inch, 15 to a pixel at 96 dpi), measured from the top-left corner of
// the client area. The window builds itself from this list.

enum class ControlKind { Label, TextBox, Button };

enum class FontRole {
    Window, // the window's own font, regular weight
    ArialBold, // Arial 8.25 points, bold
    TitleBold, // Arial 12 points, bold
    TimesBold, // Times New Roman 8.25 points, bold
    SymbolBold, // Symbol 8.25 points, bold
};

struct Twips {
    int left, top, width, height;
};

struct ControlSpec {
    std::string name;
    ControlKind kind;
    std::string text; // caption or opening text
    Twips place;
    FontRole font = FontRole::Window;
    bool enabled = true;
    bool red = false;
    std::string accessibleName = {}; // what a screen reader says for a box or button
};

// All 163 controls, in the order they are created.
const std::vector<ControlSpec> &mainFormControls();

// The enabled controls in the order the Tab key visits them.
const std::vector<std::string> &tabOrder();

// The client area that shows the whole layout with a margin on the right and
// below, in twips.
inline constexpr int kClientWidthTwips = 11655 + 240;
inline constexpr int kClientHeightTwips = 8295 + 240;

inline constexpr int kTwipsPerPixel = 15;

inline constexpr const char *kWindowCaption = "Solvara del sole   vers.1";

} // namespace solvara::ui
