#include "altitude.h"
#include "memory_form.h"
#include "number_text.h"
#include "presets.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

using namespace solvara;

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

// Preset declinations in their shortest form: no trailing zero, the sign on
// values below one degree.
TEST(FormatHundredths, ShortestDecimalCommaForm)
{
    const std::pair<int, const char *> rows[] = {{1250, "12,5"}, {2301, "23,01"}, {-1250, "-12,5"},
                                                 {-5, "-0,05"},  {-2000, "-20"},  {0, "0"}};
    for (const auto &[hundredths, text] : rows)
        EXPECT_EQ(formatHundredths(hundredths), text) << hundredths;
}

} // namespace
