#include "altitude.h"
#include "memory_form.h"
#include "presets.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace solvara;

std::string declinationRow(const MemoryForm &form)
{
    std::string row;
    for (int column = 1; column <= kColumns; ++column)
        row += (column > 1 ? " " : "") + form.text(declinationBox(column));
    return row;
}

std::string headings(const MemoryForm &form)
{
    std::string all = form.caption(kCornerLabel);
    for (int column = 1; column <= kColumns; ++column)
        all += "|" + form.caption(headingLabel(column));
    return all;
}

bool everyCellIsZero(const MemoryForm &form)
{
    for (int column = 1; column <= kColumns; ++column)
        for (int row = 1; row <= kRows; ++row)
            if (form.text(cellName(column, row)) != "0")
                return false;
    return true;
}

struct PresetCase {
    const char *name;
    const DeclinationPreset *preset;
    const char *declinations;
    const char *headings;
};

void PrintTo(const PresetCase &c, std::ostream *os) { *os << c.name; }


const PresetCase kPresets[] = {
    {"FifteenDays", &kFifteenDaySteps,
     "23,44 23,08 21,46 17,92 13,93 8,14 2,88 -3,33 -8,65 -14,54 -18,57 -21,85 -23,28 -23,44",
     "data|21/06|1/7  10/6|15/7 28/5|1/8  11/5|15/8  27/4|1/9  10/4|15/9 27/3|1/10 11/3"
     "|15/10 26/2|1/11  9/2|15/11 26/1|1/12  10/1|15/12  28/12|21/12"},
    {"FiveDegrees", &kFiveDegreeSteps, "23,44 20 15 10 5 0 -5 -10 -15 -20 -23,44 0 0 0",
     "||||||||||||||"},
    {"FourDegrees", &kFourDegreeSteps, "23,44 20 16 12 8 4 0 -4 -8 -12 -16 -20 -23,44 0",
     "||||||||||||||"},
};

class Preset : public testing::TestWithParam<PresetCase> {};

// Pressed after the 15-day preset and a computation, so that stale headings
// and altitudes must all be replaced.
TEST_P(Preset, ReplacesDeclinationsHeadingsAndCells)
{
    MemoryForm form;
    form.setText("Lat", "45");
    applyPreset(kFifteenDaySteps, form);
    ASSERT_FALSE(computeTable(form).has_value());
    form.setText("dcl1a", "typed by hand");

    applyPreset(*GetParam().preset, form);

    EXPECT_EQ(declinationRow(form), GetParam().declinations);
    EXPECT_EQ(headings(form), GetParam().headings);
    EXPECT_TRUE(everyCellIsZero(form));
    EXPECT_EQ(form.text("Lat"), "45");
}

// Computing after a preset gives, in each column, what that column's
// declination text gives when typed alone into the first column.
TEST_P(Preset, FollowedByComputeGivesEachColumnItsDeclination)
{
    MemoryForm form;
    applyPreset(*GetParam().preset, form);
    ASSERT_FALSE(computeTable(form).has_value());

    for (int column = 1; column <= kColumns; ++column) {
        MemoryForm alone;
        alone.setText("dcl1a", form.text(declinationBox(column)));
        ASSERT_FALSE(computeTable(alone).has_value());
        for (int row = 1; row <= kRows; ++row)
            EXPECT_EQ(form.text(cellName(column, row)), alone.text(cellName(1, row)))
                << "column " << column << ", row " << row;
    }
}

INSTANTIATE_TEST_SUITE_P(Presets, Preset, testing::ValuesIn(kPresets),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(FifteenDayPreset, ComputesWithTheSolsticeDeclinationsExactly)
{
    MemoryForm form;
    applyPreset(kFifteenDaySteps, form);
    ASSERT_FALSE(computeTable(form).has_value());
    // Noon at 38,1217 north: 90 + 23,44 - 38,1217 = 75,3183 and
    // 90 - 23,44 - 38,1217 = 28,4383.
    EXPECT_EQ(form.text("x8"), "75,32");
    EXPECT_EQ(form.text("s58"), "28,44");
    EXPECT_EQ(form.text("x7"), "70,52");
}

} // namespace
