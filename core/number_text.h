#pragma once

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
    Empty,       // nothing but blanks
    NotANumber,  // none of the forms below
    SixtyOrMore, // minutes or seconds of 60 or more
};
using DegreesReading = std::variant<double, DegreesRefusal>;

// Reads a latitude or a declination typed, or pasted, into a box.
// Given: text, UTF-8, with optional blanks around it (the space, the tab, and
//        the no-break, narrow no-break and thin spaces U+00A0, U+202F,
//        U+2009 that pasted texts bring along), in one of these forms:
//        - decimal degrees: digits with at most one decimal separator, the
//          comma or a point typed in its place (38,1217; 38.1217; ,5);
//        - degrees marked with a degree sign (U+00B0, or U+00BA as many
//          keyboards give it), then optionally minutes marked ' or U+2032,
//          then optionally seconds marked ", U+2033 or ''; blanks may stand
//          between the parts, and only the last part given may have
//          decimals (12°; 38°07,3'; 38° 07′ 18,5″);
//        either form after an optional sign (+, - or the minus U+2212), or
//        before or after a hemisphere letter N or S in either case, with or
//        without a blank (33°52'S; N 45,5), but not both.
// Returned: degrees, north positive: degrees + minutes/60 + seconds/3600,
//        negated for a minus or S; or why the text is refused: blanks only;
//        minutes or seconds of 60 or more; anything else (letters, E or W, a
//        sign together with a letter, a lone sign, a blank after the sign or
//        before a mark, digit grouping, exponents, "nan", "inf", two
//        separators, decimals before the last part, seconds without minutes,
//        or a part too long for a double).
// Not checked: the size of the value; the caller decides what it takes.
DegreesReading readDegrees(std::string_view text);

// The two-decimal pattern "#0.00": at least one digit before the comma,
// exactly two after it, rounded to nearest, a leading minus for negatives,
// no grouping (75,33; -11,75). A value that rounds to zero shows as "0,00".
// Not checked: finiteness (the caller never passes nan or inf).
std::string formatTwoDecimals(double value);

// The plain form of a double: at most 15 significant digits, no trailing
// zeros, no comma for a whole value (76,5433; 80; -13,45).
std::string formatPlain(double value);

// A value kept as whole hundredths, in its shortest form: 2344 -> "23,44",
// -333 -> "-3,33", 2000 -> "20", -500 -> "-5", 0 -> "0".
std::string formatHundredths(int hundredths);

} // namespace solvara
