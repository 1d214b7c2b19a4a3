#include "number_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

using solvara::formatHundredths;
using solvara::formatPlain;
using solvara::formatTwoDecimals;
using solvara::parseDecimal;

struct Accepted {
    const char *text;
    double value;
};

TEST(ParseDecimal, ReadsWhatAUserTypes)
{
    const Accepted rows[] = {
        {"38,1217", 38.1217},      // the opening latitude
        {"38.1217", 38.1217},      // a point typed by habit
        {" -23,44 ", -23.44},      // blanks around, sign
        {"\t+5", 5.0},             // explicit plus
        {"0", 0.0},
        {",5", 0.5},               // no digit before the separator
        {"5,", 5.0},               // none after it
        {"-0,0", 0.0},
        {"0000012,50", 12.5},
        {"1000000000000000", 1e15},
    };
    for (const auto &row : rows) {
        const auto value = parseDecimal(row.text);
        ASSERT_TRUE(value.has_value()) << '"' << row.text << '"';
        EXPECT_EQ(*value, row.value) << '"' << row.text << '"';
    }
}

TEST(ParseDecimal, RefusesAnythingElse)
{
    const std::string tooLong = "1" + std::string(400, '0');
    const std::string rows[] = {
        "", "   ", "-", "+", ",", ".", "+-1", "--1", "abc", "12a", "1 2",
        "1.234,5",   // digit grouping
        "1,234,567", // two separators
        "1e3", "1E3", "nan", "inf", "-inf", "0x10",
        "\xd9\xa1",  // an Arabic-Indic digit one
        tooLong,     // beyond any double
    };
    for (const auto &text : rows)
        EXPECT_FALSE(parseDecimal(text).has_value()) << '"' << text << '"';
}

struct Formatted {
    double value;
    const char *text;
};

TEST(FormatTwoDecimals, RoundsToHundredthsWithAComma)
{
    const Formatted rows[] = {
        {75.32831, "75,33"}, {-11.7483, "-11,75"}, {3.375, "3,38"}, {0.0, "0,00"},
        {0.004, "0,00"},
        {-0.004, "0,00"},    // rounds to zero: no minus in front of it
        {-0.005001, "-0,01"}, {90.0, "90,00"}, {1234567.891, "1234567,89"}, {-90.0, "-90,00"},
        {1.005, "1,00"},  // the double below 1,005: rounded as stored, not as typed
        {0.125, "0,12"},  // an exact tie between hundredths goes to the even one
        {12345678901234.567, "12345678901234,57"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(formatTwoDecimals(row.value), row.text) << row.value;
}

TEST(FormatPlain, ShowsFifteenSignificantDigitsAtMost)
{
    const Formatted rows[] = {
        {180.0 - ((90.0 + 23.4567) - 10.0), "76,5433"}, // noon north of the zenith
        {80.0, "80"}, {-13.45, "-13,45"}, {0.1 + 0.2, "0,3"}, {-0.0, "0"},
        {1.0 / 3.0, "0,333333333333333"}, {1e-5, "0,00001"}, {-2.5e-7, "-0,00000025"},
        {123456789012345.0, "123456789012345"}, {-2e15, "-2000000000000000"},
        {1234567890123456789.0, "1234567890123460000"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(formatPlain(row.value), row.text) << row.value;
}

TEST(FormatHundredths, WritesTheShortestForm)
{
    const struct {
        int hundredths;
        const char *text;
    } rows[] = {
        {2344, "23,44"}, {-333, "-3,33"}, {2000, "20"}, {-500, "-5"}, {0, "0"},
        {810, "8,1"}, {5, "0,05"}, {-5, "-0,05"}, {-2344, "-23,44"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(formatHundredths(row.hundredths), row.text) << row.hundredths;
}

// The quick rounding must agree with the exact one on every value shown.
TEST(FormatTwoDecimals, AgreesWithExactDecimalRounding)
{
    for (int i = -900000; i <= 900000; i += 7) {
        const double value = i / 10000.0 + 1e-9 * (i % 3);
        char exact[64];
        std::snprintf(exact, sizeof exact, "%.2f", value); // glibc rounds exactly
        std::string expected(exact);
        std::replace(expected.begin(), expected.end(), '.', ',');
        if (expected == "-0,00")
            expected = "0,00";
        ASSERT_EQ(formatTwoDecimals(value), expected) << value;
    }
}

TEST(NumberTexts, WrittenTextsReadBackToTheirValue)
{
    for (int hundredths = -9000; hundredths <= 9000; hundredths += 7) {
        const auto back = parseDecimal(formatHundredths(hundredths));
        ASSERT_TRUE(back.has_value()) << hundredths;
        EXPECT_EQ(*back, hundredths / 100.0) << hundredths;
    }
}

} // namespace
