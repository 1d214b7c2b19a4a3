#include "altitude_page.h"
#include "credit.h"
#include "grid.h"
#include "memory_form.h"
#include "pdf_page.h"
#include "print_table.h"
#include "recording_printer.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace solvara;

// Every item by the page's own rule: the fixed lines, then the window's grid
// on its side (a declination column per line 10 mm apart from y = 50, an hour
// row per column 20 mm apart from x = 45, headings 2 mm right of their cells).
TEST(AltitudePage, CopiesTheWindowsTextsToTheirPlaces)
{
    MemoryForm form;
    form.setText("dcl201a", "-3,33");
    form.setText("x23", "------");
    form.setText("s54", "76,5433000000001"); // wider than its 20 mm: not cut
    form.setText("dc5a", "");
    form.setCaption("Label101", "21/06"); // window headings stay off the page

    std::vector<PageText> expected = {
        {"ALTEZZA DEL SOLE   ", 74, 10},
        {"LAT =38,1217", 15, 20},
        {"Progetto:" + std::string(36, '_') + "  Data" + std::string(6, '_') + "/"
             + std::string(7, '_') + "/" + std::string(7, '_') + " Note:" + std::string(21, '_'),
         12, 30},
        {"DCL", 25, 40}};
    for (int r = 1; r <= kRows; ++r)
        expected.push_back({std::to_string(r + 4), 27.0 + 20 * r, 40});
    for (int k = 1; k <= kColumns; ++k) {
        expected.push_back({form.text(declinationBox(k)), 25, 40.0 + 10 * k});
        for (int r = 1; r <= kRows; ++r)
            expected.push_back({form.text(cellName(k, r)), 25.0 + 20 * r, 40.0 + 10 * k});
    }
    expected.push_back({kCreditLine, 60, 260});

    // As they go to be drawn, at one font size.
    const auto page = placedTexts(altitudePage(form), 9.5);
    ASSERT_EQ(page.size(), expected.size());
    for (std::size_t i = 0; i < page.size(); ++i) {
        EXPECT_EQ(page[i].text.toStdString(), expected[i].text) << i;
        EXPECT_EQ(page[i].positionMm, QPointF(expected[i].xMm, expected[i].yMm)) << i << " " << expected[i].text;
        EXPECT_TRUE(page[i].points == 9.5 && !page[i].bold) << i;
    }
}

TEST(PrintTable, SetsUpBeforeTheFirstTextAndCancelsOnAnyFailure)
{
    const MemoryForm form;
    RecordingPrinter printer;
    ASSERT_EQ(printTable(form, printer), PrintOutcome::Sent);
    const auto &log = printer.log();
    const int operations = 7 + 2 * 139 + 1;
    ASSERT_EQ(log.size(), std::size_t(operations));
    EXPECT_EQ(std::vector(log.begin(), log.begin() + 9),
              (std::vector<std::string>{"default", "unit mm", "paper A4", "portrait", "copies 1",
                                        "font 9", "bold off", "at y 10 x 74",
                                        "text ALTEZZA DEL SOLE   "}));
    EXPECT_EQ(log.back(), "end");

    for (int failAt = 0; failAt < operations; ++failAt) {
        RecordingPrinter failing(failAt);
        EXPECT_EQ(printTable(form, failing), PrintOutcome::Failed) << failAt;
        ASSERT_EQ(failing.log().size(), std::size_t(failAt) + 2) << failAt;
        EXPECT_EQ(failing.log().back(), "cancel") << failAt;
    }
}

} // namespace
