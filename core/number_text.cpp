#include "number_text.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <system_error>

namespace solvara {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The conversions between a double and its decimal text. Emscripten's C++
// library, which the browser edition is built with, has no floating-point
// std::from_chars and, in older releases, no std::to_chars; there the C
// library's conversions stand in. Both round correctly, so both write and read
// the same texts, and the browser edition never leaves the C locale, whose
// decimal point the texts handed to them use.
#ifdef __EMSCRIPTEN__
bool toDouble(std::string_view digits, double &value)
{
    const std::string copy(digits);
    char *end = nullptr;
    errno = 0;
    value = std::strtod(copy.c_str(), &end);
    // from_chars refuses what overflows or underflows to zero and keeps a
    // subnormal value; strtod flags all three.
    const bool outOfRange = errno == ERANGE && (value == 0.0 || std::isinf(value));
    return !copy.empty() && end == copy.c_str() + copy.size() && !outOfRange;
}

// Returned: the end of the text written into [first, last), or nullptr.
char *writeDouble(char *first, char *last, double value, const char *format, int precision)
{
    const int length = std::snprintf(first, std::size_t(last - first), format, precision, value);
    return length < 0 || length >= last - first ? nullptr : first + length;
}
char *writeFixed(char *first, char *last, double value, int precision)
{
    return writeDouble(first, last, value, "%.*f", precision);
}
char *writeScientific(char *first, char *last, double value, int precision)
{
    return writeDouble(first, last, value, "%.*e", precision);
}
#else
bool toDouble(std::string_view digits, double &value)
{
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                              std::chars_format::general);
    return error == std::errc() && end == digits.data() + digits.size();
}
char *writeFixed(char *first, char *last, double value, int precision)
{
    const auto result = std::to_chars(first, last, value, std::chars_format::fixed, precision);
    return result.ec == std::errc() ? result.ptr : nullptr;
}
char *writeScientific(char *first, char *last, double value, int precision)
{
    const auto result = std::to_chars(first, last, value, std::chars_format::scientific, precision);
    return result.ec == std::errc() ? result.ptr : nullptr;
}
#endif

// Whether c may be the first (or last) byte of one of the blanks around a
// text: ASCII white space, or any byte of a multi-byte UTF-8 character.
// A text that starts and ends with a digit or a letter is returned at once.
bool mayBeBlank(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x80 || byte == ' ' || (byte >= '\t' && byte <= '\r');
}

using Marks = std::initializer_list<std::string_view>;

// The blanks that may stand between the parts of a text: space, tab, and the
// no-break, narrow no-break and thin spaces of web pages and word processors.
const Marks kBlanks = {" ", "\t", "\u00a0", "\u202f", "\u2009"};
// Around the text, any Unicode white space: a spreadsheet cell comes with its
// line end, a document with its own spaces.
const Marks kBlanksAround = {"\t",     "\n",     "\v",     "\f",     "\r",     " ",      "\u0085",
                             "\u00a0", "\u1680", "\u2000", "\u2001", "\u2002", "\u2003", "\u2004",
                             "\u2005", "\u2006", "\u2007", "\u2008", "\u2009", "\u200a", "\u2028",
                             "\u2029", "\u202f", "\u205f", "\u3000"};
const Marks kMinus = {"-", "\u2212"};
const Marks kDegreeMarks = {"\u00b0", "\u00ba"};
// The prime, the apostrophe and a word processor's closing quotes stand for
// minutes and seconds alike in atlases, documents and web pages.
const Marks kMinuteMarks = {"'", "\u2032", "\u2019", "\u02b9"};
// Two minute marks, as typed on a keyboard without ″ (and as a word processor
// curls them), are one second mark.
const Marks kSecondMarks = {"''", "\u2019\u2019", "\"", "\u2033", "\u201d", "\u02ba"};

// Whether text starts with mark; its first byte is compared on its own first,
// as most texts and marks differ there.
bool startsWith(std::string_view text, std::string_view mark)
{
    return !text.empty() && text.front() == mark.front() && text.starts_with(mark);
}

// Removes the first of marks that text starts with, and tells whether any did.
bool take(std::string_view &text, Marks marks)
{
    for (const std::string_view mark : marks)
        if (startsWith(text, mark)) {
            text.remove_prefix(mark.size());
            return true;
        }
    return false;
}

void skipBlanks(std::string_view &text, Marks blanks = kBlanks)
{
    while (take(text, blanks)) {}
}

// A hemisphere letter at the front of text, removed: +1 north, -1 south, 0
// for none.
int takeHemisphere(std::string_view &text)
{
    if (take(text, {"N", "n"}))
        return 1;
    if (take(text, {"S", "s"}))
        return -1;
    return 0;
}

struct Part {
    double value;
    bool decimals; // a separator was typed, with or without digits after it
    bool exponent; // an exponent was typed
};

// Digits with at most one separator and at least one digit, and where
// exponent is allowed an exponent after them (e or E, an optional sign,
// digits: 1,5E-05 as a spreadsheet writes a small declination), removed from
// the front of text; nothing is removed when there are none, or when they
// are too many for a double.
std::optional<Part> takeNumber(std::string_view &text, bool exponent = false)
{
    std::string number;
    bool separatorSeen = false;
    bool digitSeen = false;
    bool exponentSeen = false;
    std::size_t used = 0;
    for (; used < text.size(); ++used) {
        const char c = text[used];
        if (isDigit(c)) {
            digitSeen = true;
            number += c;
        } else if ((c == ',' || c == '.') && !separatorSeen) {
            separatorSeen = true;
            number += '.';
        } else {
            break;
        }
    }
    if (!digitSeen)
        return std::nullopt;
    if (exponent && used < text.size() && (text[used] == 'e' || text[used] == 'E')) {
        std::size_t end = used + 1;
        if (end < text.size() && (text[end] == '+' || text[end] == '-'))
            ++end;
        const std::size_t digits = end;
        while (end < text.size() && isDigit(text[end]))
            ++end;
        if (end > digits) {
            number += text.substr(used, end - used);
            used = end;
            exponentSeen = true;
        }
    }

    double value = 0.0;
    if (!toDouble(number, value))
        return std::nullopt;
    text.remove_prefix(used);
    return Part{value, separatorSeen, exponentSeen};
}

} // namespace

std::string_view trimBlanks(std::string_view text)
{
    if (!text.empty() && mayBeBlank(text.front()))
        skipBlanks(text, kBlanksAround);
    for (bool dropped = true; dropped && !text.empty() && mayBeBlank(text.back());) {
        dropped = false;
        for (const std::string_view blank : kBlanksAround)
            if (text.ends_with(blank)) {
                text.remove_suffix(blank.size());
                dropped = true;
            }
    }
    return text;
}

namespace {

// The minutes and seconds after a degree sign, each a number and its mark,
// removed from the front of text into parts[1] and parts[2]; decimals tells
// whether the part before them had decimals, and then whether the last part
// taken has. False when a part is not allowed where it stands: after a part
// with decimals, or without its own mark.
bool takeMinutesAndSeconds(std::string_view &text, double (&parts)[3], bool &decimals)
{
    for (int unit = 1; unit <= 2; ++unit) {
        std::string_view rest = text;
        skipBlanks(rest);
        const auto part = takeNumber(rest);
        if (!part)
            return true;
        // A second mark after the degrees means the minutes were left out,
        // even when it is two minute marks.
        std::string_view probe = rest;
        const bool marked = unit == 1 ? !take(probe, kSecondMarks) && take(rest, kMinuteMarks)
                                      : take(rest, kSecondMarks);
        if (decimals || !marked)
            return false;
        parts[unit] = part->value;
        decimals = part->decimals;
        text = rest;
    }
    return true;
}

} // namespace

DegreesReading readDegrees(std::string_view text)
{
    text = trimBlanks(text);
    if (text.empty())
        return DegreesRefusal::Empty;

    // A letter in front, or a sign, or neither (as in every text that starts
    // with a digit); a letter after the number only when there was neither.
    int hemisphere = 0;
    bool negative = false;
    bool signTyped = false;
    if (!isDigit(text.front())) {
        hemisphere = takeHemisphere(text);
        if (hemisphere != 0) {
            skipBlanks(text);
        } else {
            negative = take(text, kMinus);
            signTyped = negative || take(text, {"+"});
        }
    }

    // Degrees, minutes, seconds: the first part alone is decimal degrees
    // unless it carries the degree sign.
    const auto degrees = takeNumber(text, true);
    if (!degrees)
        return DegreesRefusal::NotANumber;
    double parts[3] = {degrees->value, 0.0, 0.0};
    bool decimals = degrees->decimals;
    if (take(text, kDegreeMarks)
        && (degrees->exponent || !takeMinutesAndSeconds(text, parts, decimals)))
        return DegreesRefusal::NotANumber;

    skipBlanks(text);
    if (hemisphere == 0 && !signTyped)
        hemisphere = takeHemisphere(text);
    if (!text.empty())
        return DegreesRefusal::NotANumber;
    if (parts[1] >= 60.0 || parts[2] >= 60.0)
        return DegreesRefusal::SixtyOrMore;

    const double value = parts[0] + parts[1] / 60.0 + parts[2] / 3600.0;
    if (value > 90.0)
        return DegreesRefusal::BeyondNinety;
    return negative || hemisphere < 0 ? -value : value;
}

std::string_view formatTwoDecimals(double value, TwoDecimalsBuffer &buffer)
{
    // Fast path: below 10^9 hundredths, value * 100 is off the exact product
    // by less than 10^-7, so unless it lies within 10^-6 of a half hundredth
    // it rounds exactly as the decimal value does.
    const double scaled = value * 100.0;
    if (std::fabs(scaled) < 1e9) {
        // Rounded to the nearest whole number, as nearbyint does in the
        // default rounding mode, without a call: adding and taking away
        // 1.5 * 2^52 leaves no bits below the units.
        constexpr double kUnitsOnly = 0x1.8p52;
        const double rounded = (scaled + kUnitsOnly) - kUnitsOnly;
        if (std::fabs(std::fabs(scaled - rounded) - 0.5) > 1e-6) {
            // rounded is whole and, below 10^9, inside the range of int32.
            const auto hundredths = static_cast<std::int32_t>(rounded);
            std::uint32_t magnitude = hundredths < 0 ? -std::uint32_t(hundredths) : hundredths;
            // Written from the last digit backwards.
            char *const last = buffer.data() + buffer.size();
            char *first = last;
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
            return {first, std::size_t(last - first)};
        }
    }

    char *const end = writeFixed(buffer.data(), buffer.data() + buffer.size(), value, 2);
    if (end == nullptr)
        return "?";
    std::replace(buffer.data(), end, '.', ',');
    std::string_view text(buffer.data(), std::size_t(end - buffer.data()));
    if (text == "-0,00")
        text.remove_prefix(1);
    return text;
}

std::string formatTwoDecimals(double value)
{
    TwoDecimalsBuffer buffer{};
    return std::string(formatTwoDecimals(value, buffer));
}

std::string formatPlain(double value)
{
    // Rounded to 15 significant digits in scientific form, then written out
    // in positional form: no exponent, however large or small the value.
    std::array<char, 40> buffer{};
    const char *const end =
        writeScientific(buffer.data(), buffer.data() + buffer.size(), value, 14);
    if (end == nullptr)
        return "?";
    const std::string_view text(buffer.data(), std::size_t(end - buffer.data()));
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
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+'), text.data() + text.size(),
                    exponent);

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
