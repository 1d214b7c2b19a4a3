#include "number_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

using namespace solvara;

TEST(ParseDecimal, ReadsWhatAUserTypesAndNothingElse)
{
    const struct {
        const char *text;
        double value;
    } accepted[] = {{"38,1217", 38.1217}, {"38.1217", 38.1217}, {" -23,44 ", -23.44},
                    {"\t+5", 5}, {",5", 0.5}, {"5,", 5}, {"0000012,50", 12.5}};
    for (const auto &row : accepted)
        EXPECT_EQ(parseDecimal(row.text), row.value) << '"' << row.text << '"';

    const std::string refused[] = {"", "  ", "-", "+", ",", "+-1", "abc", "12a", "1 2",
                                   "1.234,5", "1,234,567", "1e3", "nan", "inf", "0x10",
                                   "\xd9\xa1" /* Arabic-Indic one */, "1" + std::string(400, '0')};
    for (const auto &text : refused)
        EXPECT_FALSE(parseDecimal(text).has_value()) << '"' << text << '"';
}

TEST(FormatTwoDecimals, RoundsTheStoredValueToHundredths)
{
    const struct {
        double value;
        const char *text;
    } rows[] = {{75.32831, "75,33"}, {-11.7483, "-11,75"}, {-0.004, "0,00"}, {-0.005001, "-0,01"},
                {1.005, "1,00"} /* stored just below 1,005 */, {0.125, "0,12"} /* a tie */,
                {12345678901234.567, "12345678901234,57"}};
    for (const auto &row : rows)
        EXPECT_EQ(formatTwoDecimals(row.value), row.text) << row.value;

    // The quick path must agree with glibc's exact rounding everywhere.
    for (int i = -900000; i <= 900000; i += 7) {
        const double value = i / 10000.0 + 1e-9 * (i % 3);
        char exact[64];
        std::snprintf(exact, sizeof exact, "%.2f", value);
        std::string expected(exact);
        std::replace(expected.begin(), expected.end(), '.', ',');
        ASSERT_EQ(formatTwoDecimals(value), expected == "-0,00" ? "0,00" : expected) << value;
    }
}

TEST(FormatPlain, FifteenSignificantDigitsWithoutExponent)
{
    const struct {
        double value;
        const char *text;
    } rows[] = {{180.0 - ((90.0 + 23.4567) - 10.0), "76,5433"}, {80, "80"}, {-0.0, "0"},
                {1.0 / 3.0, "0,333333333333333"}, {-2.5e-7, "-0,00000025"},
                {-2e15, "-2000000000000000"}, {1234567890123456789.0, "1234567890123460000"}};
    for (const auto &row : rows)
        EXPECT_EQ(formatPlain(row.value), row.text) << row.value;
}

} // namespace
