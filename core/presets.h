#pragma once

#include "form.h"
#include "grid.h"

#include <array>
#include <string_view>

namespace solvara {

// A fixed series of the Sun's declinations for the fourteen columns, with the
// headings that go with it. Declinations are kept in whole hundredths of a
// degree, north positive, so that they are written exactly ("23,44", "20").
struct DeclinationPreset {
    std::string_view cornerCaption;
    std::array<std::string_view, kColumns> columnCaptions;
    std::array<int, kColumns> declinationHundredths;
};

// From the June to the December solstice in steps of about 15 days: the
// declination at noon UT on the 1st and 15th of each month from July to
// December. Each heading names that date (day/month) and the date as far on
// the other side of a solstice, which has about the same declination.
inline constexpr DeclinationPreset kFifteenDaySteps{
    "data",
    {"21/06", "1/7  10/6", "15/7 28/5", "1/8  11/5", "15/8  27/4", "1/9  10/4", "15/9 27/3",
     "1/10 11/3", "15/10 26/2", "1/11  9/2", "15/11 26/1", "1/12  10/1", "15/12  28/12", "21/12"},
    {2344, 2308, 2146, 1792, 1393, 814, 288, -333, -865, -1454, -1857, -2185, -2328, -2344},
};

// The two solstice declinations (+-23,44, the obliquity of the ecliptic) and
// the whole multiples of 5 degrees between them; spare columns hold 0.
inline constexpr DeclinationPreset kFiveDegreeSteps{
    "",
    {},
    {2344, 2000, 1500, 1000, 500, 0, -500, -1000, -1500, -2000, -2344, 0, 0, 0},
};

// As above with multiples of 4 degrees.
inline constexpr DeclinationPreset kFourDegreeSteps{
    "",
    {},
    {2344, 2000, 1600, 1200, 800, 400, 0, -400, -800, -1200, -1600, -2000, -2344, 0},
};

// Sets every result cell to "0", column by column, top to bottom.
void clearCells(Form &form);

// Writes a preset: every cell "0", then the corner and column headings, then
// the fourteen declination boxes. Reads nothing and computes nothing; the
// latitude keeps its text.
void applyPreset(const DeclinationPreset &preset, Form &form);

} // namespace solvara
