#include "altitude.h"
#include "memory_form.h"
#include "presets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <locale>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace solvara;

const char *const M = "------";

// A number text of the table read without the program's reader and without
// the locale: decimal comma or point. Not a number gives nan.
double number(std::string text)
{
    std::replace(text.begin(), text.end(), ',', '.');
    // Read as C reads it, whatever the locale (emscripten's library has no
    // from_chars for doubles).
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    double value = NAN;
    in >> value;
    return in && in.peek() == EOF ? value : NAN;
}

// Worked examples, computed independently of this program, where the general
// comparison below cannot look: an altitude of 0 shown as 0,00, exact hour
// angles, noon at the zenith (90,00) and beyond it (to full precision, also
// past 180 degrees), the Sun never up, and the sine of the altitude at +-1.
// Each stands in a column of its own among the 15-day declinations, so that a
// column computed from another column's declination shows.
TEST(ComputeTable, WorkedExamplesInAnyColumn)
{
    // clang-format off
    // Name, latitude, declination, the cells from 05.00/19.00 down to 12.00.
    const std::tuple<const char *, const char *, const char *, std::array<std::string, kRows>> cases[] = {
        {"Equator", "0", "0", {M, "0,00", "15,00", "30,00", "45,00", "60,00", "75,00", "90,00"}},
        {"NorthOfZenith", "10", "23,4567", {M, "3,96", "17,63", "31,39", "45,07", "58,38", "70,35", "76,5433"}},
        {"JustNorthOfZenith", "38,1217", "38,5",
         {"13,00", "22,60", "32,93", "43,80", "55,05", "66,56", "78,24", "89,6217"}},
        {"PolarNight", "85", "-23,45", {M, M, M, M, M, M, M, M}},
        // The sine of the altitude reaches +-1: never nan.
        {"SunAtThePole", "90", "90", {"90,00", "90,00", "90,00", "90,00", "90,00", "90,00", "90,00", "90,00"}},
        {"SunAtTheOtherPole", "-90", "90", {M, M, M, M, M, M, M, "-90"}},
        // At the pole on an equinox the Sun runs along the horizon: 0,00 all
        // day, noon too, however the rounding leans.
        {"SunOnTheHorizonAllDay", "90", "0", {"0,00", "0,00", "0,00", "0,00", "0,00", "0,00", "0,00", "0,00"}},
    };
    // clang-format on
    for (int column = 3; const auto &[name, latitude, declination, cells] : cases) {
        column = column % kColumns + 1;
        MemoryForm form;
        applyPreset(kFifteenDaySteps, form);
        form.setText(kLatitudeBox, latitude);
        form.setText(declinationBox(column), declination);
        ASSERT_FALSE(computeTable(form).has_value()) << name;
        for (int row = 1; row <= kRows; ++row)
            EXPECT_EQ(form.text(cellName(column, row)), cells[row - 1]) << name << " row " << row;
    }
}

// Every cell of every column against the altitude worked out here another
// way, in long double through the arcsine:
//     sin h = sin phi sin d + cos phi cos d cos H,  H = 15 degrees an hour,
// and the noon row against 90 - |phi - d|. A cell shows h to the hundredth,
// or the marker where h is below the horizon.
TEST(ComputeTable, EveryColumnFollowsTheSphericalTriangle)
{
    const long double rad = std::acos(-1.0L) / 180;
    for (const char *latitude : {"45", "-33,875", "66,5", "10"}) {
        for (const DeclinationPreset *preset : {&kFifteenDaySteps, &kFourDegreeSteps}) {
            MemoryForm form;
            applyPreset(*preset, form);
            form.setText(kLatitudeBox, latitude);
            ASSERT_FALSE(computeTable(form).has_value());
            const long double phi = number(latitude);
            for (int column = 1; column <= kColumns; ++column) {
                const long double d = number(form.text(declinationBox(column)));
                for (int row = 1; row <= kRows; ++row) {
                    const long double h = row == kRows
                        ? 90 - std::fabs(phi - d)
                        : std::asin(std::sin(phi * rad) * std::sin(d * rad)
                                    + std::cos(phi * rad) * std::cos(d * rad)
                                        * std::cos(15 * (kRows - row) * rad))
                            / rad;
                    const std::string cell = form.text(cellName(column, row));
                    // Within a hundredth of the horizon the sign may go either way.
                    EXPECT_TRUE(
                        std::fabs(h) <= 0.0051L
                        || (h < 0 ? cell == M : std::fabs(number(cell) - h) <= 0.005 + 1e-9))
                        << latitude << " column " << column << " row " << row << ": " << cell
                        << " for " << double(h);
                }
            }
        }
    }
}

// The Sun's declination in degrees at noon UT of day/month in 2005, by the
// Astronomical Almanac's low-precision formulae (good to 0.01 degree): n days
// from 2000 January 1, 12h UT, mean longitude L, mean anomaly g, ecliptic
// longitude lambda, obliquity eps.
double solarDeclination(int day, int month)
{
    static constexpr int before[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    const double n = 1827 + before[month - 1] + day - 1, rad = std::acos(-1.0) / 180;
    const double L = 280.460 + 0.9856474 * n, g = (357.528 + 0.9856003 * n) * rad;
    const double lambda = L + 1.915 * std::sin(g) + 0.020 * std::sin(2 * g);
    const double eps = 23.439 - 0.0000004 * n;
    return std::asin(std::sin(eps * rad) * std::sin(lambda * rad)) / rad;
}

// Pressed after the 15-day preset, a computation and a typed declination,
// every preset replaces all cells, declinations and headings and keeps the
// latitude. The 15-day declinations are the Sun's on the first date of their
// heading in 2005 (to 0.02 degree: the formula's error and the rounding to
// hundredths); the heading's second date lies as far on the other side of a
// solstice, within a day, a quarter of a degree near the equinoxes. The
// 5- and 4-degree series run from one solstice to the other through the
// whole multiples of their step, then "0".
TEST(Preset, ReplacesEverythingButTheLatitude)
{
    const struct {
        const DeclinationPreset &preset;
        const char *series; // none: the Sun's on the dates of the headings
    } cases[] = {{kFifteenDaySteps, nullptr},
                 {kFiveDegreeSteps, "23,44 20 15 10 5 0 -5 -10 -15 -20 -23,44 0 0 0 "},
                 {kFourDegreeSteps, "23,44 20 16 12 8 4 0 -4 -8 -12 -16 -20 -23,44 0 "}};
    for (const auto &c : cases) {
        MemoryForm form;
        form.setText(kLatitudeBox, "45");
        applyPreset(kFifteenDaySteps, form);
        ASSERT_FALSE(computeTable(form).has_value());
        form.setText("dcl1a", "typed by hand");

        applyPreset(c.preset, form);

        EXPECT_EQ(form.text(kLatitudeBox), "45");
        EXPECT_EQ(form.caption(kCornerLabel), c.series ? "" : "data");
        std::string declinations, headings;
        for (int column = 1; column <= kColumns; ++column) {
            for (int row = 1; row <= kRows; ++row)
                EXPECT_EQ(form.text(cellName(column, row)), "0");
            const std::string text = form.text(declinationBox(column));
            const std::string heading = form.caption(headingLabel(column));
            declinations += text + " ";
            headings += heading;
            std::istringstream dates(heading);
            int count = 0;
            for (std::string date; dates >> date; ++count)
                EXPECT_NEAR(
                    number(text),
                    solarDeclination(std::stoi(date), std::stoi(date.substr(date.find('/') + 1))),
                    count == 0 ? 0.02 : 0.25)
                    << heading << " " << text;
            EXPECT_TRUE(c.series || count == (column == 1 || column == kColumns ? 1 : 2))
                << heading;
        }
        EXPECT_TRUE(!c.series || declinations + "|" + headings == std::string(c.series) + "|")
            << declinations << "|" << headings;
    }
}

} // namespace
