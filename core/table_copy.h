#pragma once

#include "form.h"
#include "grid.h"

#include <array>
#include <string>

namespace solvara {

// The altitude table as the window shows it, to paste into a spreadsheet,
// a drawing program or a document.
struct TableCopy {
    // Tab-separated lines, each ended by a line feed: the headings (the
    // corner's, then the fourteen columns') when any is shown; "δ°" and the
    // fourteen declinations; then one line a row, its hours first
    // ("05.00-19.00" … "11.00-13.00", "12.00") and its fourteen cells as
    // written ("------" and the decimal comma kept).
    std::string text;
    // The same lines as an HTML table, for word processors.
    std::string html;
};

// Given: the form, and the headings as shown, the corner's first (all empty
// when the window shows none). Texts are copied as they stand; none is read
// as a number.
TableCopy copyTable(const Form &form, const std::array<std::string, kColumns + 1> &headings);

} // namespace solvara
