#include "number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
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
    // Fast path: below 10^9 hundredths, value * 100 is off the exact product
    // by less than 10^-7, so unless it lies within 10^-6 of a half hundredth
    // it rounds exactly as the decimal value does.
    const double scaled = value * 100.0;
    if (std::fabs(scaled) < 1e9) {
        const double rounded = std::nearbyint(scaled);
        if (std::fabs(std::fabs(scaled - rounded) - 0.5) > 1e-6) {
            const long long hundredths = std::llround(rounded);
            unsigned long long magnitude = hundredths < 0 ? -hundredths : hundredths;
            // Written from the last digit backwards.
            std::array<char, 24> digits;
            char *first = digits.data() + digits.size();
            *--first = char('0' + magnitude % 10);
            *--first = char('0' + magnitude / 10 % 10);
            *--first = ',';
            magnitude /= 100;
            do {
                *--first = char('0' + magnitude % 10);
                magnitude /= 10;
            } while (magnitude != 0);
            if (hundredths < 0)
                *--first = '-';
            return std::string(first, digits.data() + digits.size());
        }
    }

    // Large enough for the fixed form of any finite double.
    std::array<char, 330> buffer;
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
    // Rounded to 15 significant digits in scientific form, then written out
    // in positional form: no exponent, however large or small the value.
    std::array<char, 40> buffer;
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::scientific, 14);
    if (result.ec != std::errc())
        return "?";
    const std::string_view text(buffer.data(), std::size_t(result.ptr - buffer.data()));
    const std::size_t e = text.find('e');
    const bool negative = text.front() == '-';
    std::string digits;
    for (const char c : text.substr(0, e))
        if (isDigit(c))
            digits += c;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    if (digits == "0")
        return "0";
    int exponent = 0;
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+'), text.data() + text.size(), exponent);

    // The first digit stands for 10^exponent.
    std::string plain;
    if (exponent < 0) {
        plain = "0," + std::string(std::size_t(-exponent - 1), '0') + digits;
    } else if (std::size_t(exponent) + 1 >= digits.size()) {
        plain = digits + std::string(std::size_t(exponent) + 1 - digits.size(), '0');
    } else {
        plain = digits.substr(0, std::size_t(exponent) + 1) + ","
                + digits.substr(std::size_t(exponent) + 1);
    }
    return negative ? "-" + plain : plain;
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
