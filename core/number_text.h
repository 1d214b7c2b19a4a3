#pragma once

#include <array>
#include <string>
#include <string_view>
#include <variant>

namespace solvara {

// Number texts as the Italian window shows them: the decimal comma, whatever
// the locale of the machine. Nothing here depends on the process locale.

// The below-horizon marker shown in a cell instead of a negative altitude.
inline constexpr const char *kBelowHorizon = "------";

// Why a box's text gives no number of degrees.
enum class DegreesRefusal {
    Empty, // nothing but blanks
    NotANumber, // none of the forms below
    SixtyOrMore, // minutes or seconds of 60 or more
    BeyondNinety, // more than 90 degrees either way
};
using DegreesReading = std::variant<double, DegreesRefusal>;

// Reads a latitude or a declination typed, or pasted, into a box.
// Given: text, UTF-8, with optional blanks around it (any Unicode white
//        space: the line end a spreadsheet cell brings along, tabs, the
//        no-break and other spaces of documents), in one of these forms:
//        - decimal degrees: digits with at most one decimal separator, the
//          comma or a point typed in its place (38,1217; 38.1217; ,5),
//          optionally followed by an exponent: e or E, an optional sign
//          and digits (1,5E-05; -5,9e-05);
//        - degrees marked with a degree sign (U+00B0, or U+00BA as many
//          keyboards give it), then optionally minutes marked ', U+2032,
//          U+2019 or U+02B9, then optionally seconds marked ", U+2033,
//          U+201D, U+02BA or two minute marks ('' or U+2019 twice);
//          blanks (the space, the tab, U+00A0, U+202F, U+2009) may stand
//          between the parts, and only the last part given may have
//          decimals (12°; 38°07,3'; 38° 07′ 18,5″; 38°07’18”);
//        either form after an optional sign (+, - or the minus U+2212), or
//        before or after a hemisphere letter N or S in either case, with or
//        without a blank (33°52'S; N 45,5), but not both.
// Returned: degrees, north positive, from -90 to 90: degrees + minutes/60 +
//        seconds/3600, negated for a minus or S; or why the text is refused:
//        blanks only; minutes or seconds of 60 or more; a value beyond 90
//        either way (no latitude lies past a pole, no declination past the
//        celestial pole: such a value is a slip, as 381217 for 38,1217, and
//        would only give a plausible-looking table); anything else (letters,
//        E or W, a sign together with a letter, a lone sign, a blank after
//        the sign or before a mark, digit grouping, an exponent on degrees,
//        minutes or seconds, "nan", "inf", two separators, decimals before
//        the last part, seconds without minutes, or a part too long for a
//        double).
DegreesReading readDegrees(std::string_view text);

// text without the blanks around it that readDegrees ignores.
std::string_view trimBlanks(std::string_view text);

// The two-decimal pattern "#0.00": at least one digit before the comma,
// exactly two after it, rounded to nearest, a leading minus for negatives,
// no grouping (75,33; -11,75). A value that rounds to zero shows as "0,00".
// Not checked: finiteness (the caller never passes nan or inf).
std::string formatTwoDecimals(double value);

// Room for the two-decimal form of any finite double.
using TwoDecimalsBuffer = std::array<char, 330>;
// The same text written into buffer, where the returned view lives: a press
// formats 112 cells without making a string for each.
std::string_view formatTwoDecimals(double value, TwoDecimalsBuffer &buffer);

// The plain form of a double: at most 15 significant digits, no trailing
// zeros, no comma for a whole value (76,5433; 80; -13,45).
std::string formatPlain(double value);

// A value kept as whole hundredths, in its shortest form: 2344 -> "23,44",
// -333 -> "-3,33", 2000 -> "20", -500 -> "-5", 0 -> "0".
std::string formatHundredths(int hundredths);

} // namespace solvara
