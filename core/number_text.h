#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace solvara {

// Number texts as the Italian window shows them: the decimal comma, whatever
// the locale of the machine. Nothing here depends on the process locale.

// The below-horizon marker shown in a cell instead of a negative altitude.
inline constexpr const char *kBelowHorizon = "------";

// Reads a number typed into a box.
// Given: text, as typed: optional blanks around it, an optional sign, digits
//        with at most one decimal separator. The comma is the separator; a
//        point typed in its place is accepted as well.
// Returned: the value, or nothing for any other text (empty, letters, a lone
//        sign, digit grouping, exponents, "nan", "inf", two separators, or a
//        value too large for a double).
std::optional<double> parseDecimal(std::string_view text);

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
