#pragma once

#include <string>

namespace solvara {

// The altitude table: 14 declination columns (left to right) by 8 hour rows
// (05.00/19.00 at the top down to 12.00). This is the one place that knows
// how its controls are named.

inline constexpr int kColumns = 14;
inline constexpr int kRows = 8;
inline constexpr int kNoonRow = 8;

inline constexpr const char *kLatitudeBox = "Lat";
inline constexpr const char *kOpeningLatitude = "38,1217";
// The heading over the hour captions, left of column 1.
inline constexpr const char *kCornerLabel = "Label100";

// Given: column 1..14. Returned: the name of that column's declination box
// (dcl1a, dcl201a ... dcl901a, dc1a ... dc5a).
const std::string &declinationBox(int column);

// The caption of the declination boxes' row ("δ°"), left of column 1.
inline constexpr const char *kDeclinationLabel = "Label30";

// Given: column 1..14. Returned: the heading label over it (Label101..Label114).
const std::string &headingLabel(int column);

// Given: row 1..8. Returned: the label left of the row naming its two hours
// (Label7 for 05.00/19.00 … Label28 for 12.00).
const std::string &hourLabel(int row);

// Given: column 1..14, row 1..8. Returned: the result cell's name. The last
// digit is the row; columns 2..9 put their number after "x", columns 11..14
// their number less 9 after "s": x1, x21 ... x98, s1, s21 ... s58.
const std::string &cellName(int column, int row);

// Given: row 1..8. Returned: the hour angle of both hours of the row, in whole
// degrees from noon (15 per hour): 105 for 05.00/19.00 down to 0 for 12.00.
constexpr int hourAngleDegrees(int row) { return 15 * (kRows - row); }

} // namespace solvara
