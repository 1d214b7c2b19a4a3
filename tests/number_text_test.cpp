#include "number_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace solvara;

TEST(ReadDegrees, ReadsWhatAUserTypesOrPastesAndNothingElse)
{
    // clang-format off
    const std::pair<const char *, double> accepted[] = {
        {"38,1217\n", 38.1217}, {"38.1217", 38.1217}, {" -23,44\r\n", -23.44}, {"\t+5", 5}, {",5", 0.5},
        {"5,", 5}, {"0000012,50", 12.5}, {"\u22125\u00a0", -5}, {"\u202f38,1217\u2009", 38.1217},
        {"\u3000\u0085\u2028-90\u1680\v\f\u205f\u2000\u200a\u2029", -90}, {"90°", 90},
        {"-12º", -12}, {"12S \u00a0", -12}, {"s 0,5", -0.5}, {"33°52,5'S", -33.875}, {"45° 30′ 56,25″ N", 45.515625},
        {"n10°15'28.125''", 10.2578125}, {"+1°0'56,25\"", 1.015625}, {"38°07’18,12” N", 38.1217},
        {"1°0ʹ56,25ʺ", 1.015625}, {"45°30’15’’", 45.50416666666667},
        {"1,5E-05", 1.5e-05}, {"-5,9e-05", -5.9e-05}, {"2.5e+1 S", -25}, {"45E0", 45}, {"1e-310", 1e-310}};
    // clang-format on
    for (const auto &[text, value] : accepted)
        EXPECT_EQ(readDegrees(text), DegreesReading(value)) << '"' << text << '"';

    using enum DegreesRefusal;
    // clang-format off
    const std::pair<DegreesRefusal, std::vector<std::string>> refused[] = {
        {Empty, {"", " \u00a0\u202f\u2009\t\n\u2007"}}, {SixtyOrMore, {"45°60'", "45°59'60,0\""}},
        {BeyondNinety, {"381217", "-120", "90,000001", "S 90°0’0,1”", "1e3"}},
        {NotANumber, {"-", "\u2212", ",", "+-1", "- 5", "12a", "1 2", "1.234,5", "1,234,567", "1e",
                      "nan", "\xd9\xa1" /* Arabic-Indic one */, "1" + std::string(400, '0'), "N",
                      "45,5°30'", "45°30,5'15\"", "-45°30' N", "N +45", "\u22125S", "N 45 S", "45 E",
                      "W45", "45°30", "45°30''", "45°30\"", "30'", "45 °", "45°°", "45°30’’", "45\xc2",
                      "45°-30'", "Nord 45", "45\n30", "45\u3000N", "1e-", "1e1°", "45°3e1'", "1e1,5", "1e999", "1e-999"}}};
    // clang-format on
    for (const auto &[why, texts] : refused)
        for (const auto &text : texts)
            EXPECT_EQ(readDegrees(text), DegreesReading(why)) << '"' << text << '"';
}

// The texts numbers are shown in: two decimals rounded from the stored value
// (which lies just below 1,005, and 0,125 is a tie); plain numbers to fifteen
// significant digits without exponent; preset declinations (in hundredths) in
// their shortest form, no trailing zero, the sign on values below one degree.
TEST(FormatNumbers, TwoDecimalsPlainAndShortestForms)
{
    const auto hundredths = [](double value) { return formatHundredths(int(value)); };
    // clang-format off
    const std::pair<std::string (*)(double), std::vector<std::pair<double, const char *>>> forms[] = {
        {formatTwoDecimals, {{75.32831, "75,33"}, {-11.7483, "-11,75"}, {-0.004, "0,00"}, {-0.005001, "-0,01"},
                             {1.005, "1,00"}, {0.125, "0,12"}, {12345678901234.567, "12345678901234,57"}}},
        {formatPlain, {{80, "80"}, {76.5, "76,5"}, {-0.0, "0"}, {1.0 / 3.0, "0,333333333333333"}, {-2.5e-7, "-0,00000025"},
                       {-2e15, "-2000000000000000"}, {1234567890123456789.0, "1234567890123460000"}}},
        {hundredths, {{1250, "12,5"}, {2301, "23,01"}, {-1250, "-12,5"}, {-5, "-0,05"}, {-2000, "-20"}, {0, "0"}}}};
    // clang-format on
    for (const auto &[format, rows] : forms)
        for (const auto &[value, text] : rows)
            EXPECT_EQ(format(value), text) << value;

    // The quick two-decimal path must agree with glibc's exact rounding everywhere.
    for (int i = -900000; i <= 900000; i += 7) {
        const double value = i / 10000.0 + 1e-9 * (i % 3);
        std::string exact(64, '\0');
        exact.resize(std::snprintf(exact.data(), exact.size(), "%.2f", value));
        std::replace(exact.begin(), exact.end(), '.', ',');
        ASSERT_EQ(formatTwoDecimals(value), exact == "-0,00" ? "0,00" : exact) << value;
    }
}

} // namespace
