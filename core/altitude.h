#pragma once

#include "form.h"
#include "grid.h"

#include <array>
#include <optional>
#include <string>
#include <variant>

namespace solvara {

// A box whose text is not a number the table can be computed from.
struct InputError {
    enum class Kind {
        Empty, // nothing but blanks
        NotANumber, // letters, a lone sign, two separators ...
        SixtyOrMore, // minutes or seconds of 60 or more
        BeyondNinety, // more than 90 degrees either way
    };
    Kind kind;
    int column; // 0 for the latitude, else the declination column 1..14
    std::string box; // the offending box, to give it the focus
    std::string text;
};

// The fifteen numbers one press works from, in degrees, north positive.
struct TableInputs {
    double latitude;
    std::array<double, kColumns> declinations;
};

// Reads one box's text: column 0 the latitude, else the declination of that
// column (1..14). Returned: degrees, north positive, or why it is refused.
std::variant<double, InputError> readBox(int column, const std::string &text);

// Reads the latitude and the fourteen declinations, in that order.
// Returned: the numbers, or the first box whose text is refused.
std::variant<TableInputs, InputError> readInputs(const Form &form);

// The Sun's altitude for one latitude at the hours of the table.
//
// Rows 1..7 use the altitude from the spherical triangle pole-zenith-Sun,
//     sin h = sin d sin phi + cos d cos phi cos H,
// with the arcsine taken through the arctangent,
//     h = atan(S / sqrt(1 - S^2)).
// Row 8 (noon, H = 0) uses the closed form 90 - |phi - d| without
// trigonometry: N = 90 + d - phi, reflected to 180 - N when the Sun passes
// north of the zenith (N > 90), the marker when it stays below the horizon
// (N < 0).
//
// Cells show the altitude in degrees with two decimals, or "------" where the
// two-decimal value shown is negative (a value that shows as 0,00 stays).
class AltitudeCalculator {
public:
    // Given: latitude in degrees, north positive. Not checked: its range;
    // beyond +-90 the formulas still give numbers.
    explicit AltitudeCalculator(double latitude);

    // Given: the column 1..14 and its declination in degrees, north positive.
    // Writes the column's eight cells into form, top row (05.00/19.00) first.
    void writeColumn(Form &form, int column, double declination) const;

private:
    double latitude_;
    double degreesToRadians_;
    double radiansToDegrees_;
    double sinLatitude_;
    double cosLatitude_;
    std::array<double, kRows - 1> cosHourAngle_{}; // rows 1..7
};

// The compute button: reads the fifteen inputs and fills all 112 cells,
// column by column from left to right, top to bottom. When an input is
// refused no cell is touched and the refused box is returned.
std::optional<InputError> computeTable(Form &form);

} // namespace solvara
