#include "altitude.h"
#include "memory_form.h"
#include "presets.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

using namespace solvara;

const char *const M = "------";

// The same texts give the same cells in whichever column they stand.
TEST(ComputeTable, EveryColumnShowsTheseCells)
{
    // A latitude, a declination, and the eight texts of their column,
    // 05.00/19.00 first, 12.00 last.
    const struct {
        const char *name, *latitude, *declination;
        std::array<std::string, kRows> cells;
    } cases[] = {
        {"Summer", "38,1217", "23,45", {"3,37", "14,22", "25,62", "37,34", "49,11", "60,54", "70,53", "75,33"}},
        {"Equinox", "38,1217", "0", {M, "0,00", "11,75", "23,16", "33,80", "42,95", "49,45", "51,88"}},
        {"Winter", "38,1217", "-23,45", {M, M, M, "6,61", "15,35", "22,29", "26,84", "28,43"}},
        {"Equator", "0", "0", {M, "0,00", "15,00", "30,00", "45,00", "60,00", "75,00", "90,00"}},
        {"Overhead", "38,1217", "38,1217", {"12,76", "22,40", "32,77", "43,67", "54,96", "66,50", "78,21", "90,00"}},
        {"NorthOfZenith", "10", "23,4567", {M, "3,96", "17,63", "31,39", "45,07", "58,38", "70,35", "76,5433"}},
        {"JustNorthOfZenith", "38,1217", "38,5", {"13,00", "22,60", "32,93", "43,80", "55,05", "66,56", "78,24", "89,6217"}},
        {"PolarNight", "85", "-23,45", {M, M, M, M, M, M, M, M}},
        {"NoonBeyond180", "-80", "23,45", {M, M, M, M, M, M, M, "-13,45"}},
        // The sine of the altitude reaches +-1: never nan.
        {"SunAtThePole", "90", "90", {"90,00", "90,00", "90,00", "90,00", "90,00", "90,00", "90,00", "90,00"}},
        {"SunAtTheOtherPole", "-90", "90", {M, M, M, M, M, M, M, "-90"}},
    };
    for (const auto &c : cases) {
        MemoryForm form;
        form.setText(kLatitudeBox, c.latitude);
        for (int column = 1; column <= kColumns; ++column)
            form.setText(declinationBox(column), c.declination);
        ASSERT_FALSE(computeTable(form).has_value()) << c.name;
        for (int column = 1; column <= kColumns; ++column)
            for (int row = 1; row <= kRows; ++row)
                EXPECT_EQ(form.text(cellName(column, row)), c.cells[row - 1])
                    << c.name << " " << column << "/" << row;
    }
}

// Pressed after the 15-day preset, a computation and a typed declination,
// so that stale headings, altitudes and texts must all be replaced.
TEST(Preset, ReplacesEverythingButTheLatitude)
{
    const struct {
        const DeclinationPreset &preset;
        const char *declinations, *headings;
    } cases[] = {
        {kFifteenDaySteps,
         "23,44 23,08 21,46 17,92 13,93 8,14 2,88 -3,33 -8,65 -14,54 -18,57 -21,85 -23,28 -23,44",
         "data|21/06|1/7  10/6|15/7 28/5|1/8  11/5|15/8  27/4|1/9  10/4|15/9 27/3|1/10 11/3"
         "|15/10 26/2|1/11  9/2|15/11 26/1|1/12  10/1|15/12  28/12|21/12"},
        {kFiveDegreeSteps, "23,44 20 15 10 5 0 -5 -10 -15 -20 -23,44 0 0 0", "||||||||||||||"},
        {kFourDegreeSteps, "23,44 20 16 12 8 4 0 -4 -8 -12 -16 -20 -23,44 0", "||||||||||||||"},
    };
    for (const auto &c : cases) {
        MemoryForm form;
        form.setText(kLatitudeBox, "45");
        applyPreset(kFifteenDaySteps, form);
        ASSERT_FALSE(computeTable(form).has_value());
        form.setText("dcl1a", "typed by hand");

        applyPreset(c.preset, form);

        std::string declinations, headings = form.caption(kCornerLabel);
        for (int column = 1; column <= kColumns; ++column) {
            declinations += (column > 1 ? " " : "") + form.text(declinationBox(column));
            headings += "|" + form.caption(headingLabel(column));
            for (int row = 1; row <= kRows; ++row)
                EXPECT_EQ(form.text(cellName(column, row)), "0");
        }
        EXPECT_EQ(declinations, c.declinations);
        EXPECT_EQ(headings, c.headings);
        EXPECT_EQ(form.text(kLatitudeBox), "45");
    }
}

} // namespace
