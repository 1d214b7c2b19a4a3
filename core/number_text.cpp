#include "number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>
#include <system_error>

namespace solvara {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// to_chars writes a point; the window shows a comma.
std::string withComma(const char *first, const char *last)
{
    std::string text(first, last);
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

} // namespace

std::optional<double> parseDecimal(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);

    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }

    // Digits with at most one separator, and at least one digit somewhere.
    std::string number;
    number.reserve(text.size() + 1);
    bool separatorSeen = false;
    bool digitSeen = false;
    for (const char c : text) {
        if (isDigit(c)) {
            digitSeen = true;
            number += c;
        } else if ((c == ',' || c == '.') && !separatorSeen) {
            separatorSeen = true;
            number += '.';
        } else {
            return std::nullopt;
        }
    }
    if (!digitSeen)
        return std::nullopt;

    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(),
                                              value, std::chars_format::fixed);
    if (error != std::errc() || end != number.data() + number.size())
        return std::nullopt;
    return negative ? -value : value;
}

std::string formatTwoDecimals(double value)
{
    // Large enough for the fixed form of any finite double.
    std::array<char, 330> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, 2);
    if (result.ec != std::errc())
        return "?";
    std::string text = withComma(buffer.data(), result.ptr);
    if (text == "-0,00")
        text.erase(0, 1);
    return text;
}

std::string formatPlain(double value)
{
    std::array<char, 40> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::general, 15);
    if (result.ec != std::errc())
        return "?";
    std::string text = withComma(buffer.data(), result.ptr);
    if (text == "-0")
        text.erase(0, 1);
    return text;
}

std::string formatHundredths(int hundredths)
{
    const int magnitude = std::abs(hundredths);
    std::string text = hundredths < 0 ? "-" : "";
    text += std::to_string(magnitude / 100);
    const int fraction = magnitude % 100;
    if (fraction != 0) {
        text += ',';
        text += static_cast<char>('0' + fraction / 10);
        if (fraction % 10 != 0)
            text += static_cast<char>('0' + fraction % 10);
    }
    return text;
}

} // namespace solvara
