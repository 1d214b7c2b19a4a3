#include "altitude_page.h"

#include "credit.h"
#include "grid.h"

namespace solvara {

namespace {

// The window's grid turned on its side: a declination column becomes a line,
// an hour row a printed column.
constexpr double kDeclinationX = 25;
constexpr double kHeadingY = 40;
constexpr double kLinePitch = 10; // first table line at 50
constexpr double kColumnPitch = 20; // first altitude column at 45
constexpr double kHourHeadingShift = 2;

constexpr const char *kHourHeadings[kRows] = {"5", "6", "7", "8", "9", "10", "11", "12"};

} // namespace

std::vector<PageText> altitudePage(const Form &form)
{
    std::vector<PageText> page = {
        {"ALTEZZA DEL SOLE   ", 74, 10},
        {"LAT =" + form.text(kLatitudeBox), 15, 20},
        {"Progetto:____________________________________  Data______/_______/_______ "
         "Note:_____________________",
         12, 30},
        {"DCL", kDeclinationX, kHeadingY},
    };
    for (int row = 1; row <= kRows; ++row)
        page.push_back({kHourHeadings[row - 1],
                        kDeclinationX + kColumnPitch * row + kHourHeadingShift, kHeadingY});

    for (int column = 1; column <= kColumns; ++column) {
        const double y = kHeadingY + kLinePitch * column;
        page.push_back({form.text(declinationBox(column)), kDeclinationX, y});
        for (int row = 1; row <= kRows; ++row)
            page.push_back(
                {form.text(cellName(column, row)), kDeclinationX + kColumnPitch * row, y});
    }

    page.push_back({kCreditLine, 60, 260});
    return page;
}

} // namespace solvara
