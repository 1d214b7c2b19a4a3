#pragma once

#include "form.h"

#include <string>
#include <vector>

namespace solvara {

// One text on the page, with the top-left corner of its first character at
// (x, y) millimetres from the top-left corner of the printable area.
struct PageText {
    std::string text;
    double xMm;
    double yMm;
};

// The printed table, in printing order: title, latitude, a line to fill in by
// hand, the headings, then one line per declination column of the window
// (its declination and its eight altitudes, 05.00/19.00 first), and the
// credit. Texts are copied from the window exactly as they stand.
std::vector<PageText> altitudePage(const Form &form);

inline constexpr double kPageFontPoints = 9.0;

} // namespace solvara
