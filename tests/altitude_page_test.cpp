#include "altitude_page.h"
#include "memory_form.h"
#include "print_table.h"
#include "recording_printer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace solvara;

TEST(AltitudePage, RightAfterStartPrintsTheOpeningTexts)
{
    const MemoryForm form;
    const std::vector<PageText> page = altitudePage(form);
    ASSERT_EQ(page.size(), 139u);

    const struct {
        std::size_t index;
        const char *text;
        double x, y;
    } rows[] = {
        {0, "ALTEZZA DEL SOLE   ", 74, 10},
        {1, "LAT =38,1217", 15, 20},
        {3, "DCL", 25, 40},
        {4, "5", 47, 40},
        {11, "12", 187, 40},
        {12, "0", 25, 50},   // declination of the first window column
        {13, "0", 45, 50},   // its 05.00/19.00 cell
        {20, "0", 185, 50},  // its 12.00 cell
        {129, "0", 25, 180}, // the last window column
        {137, "0", 185, 180},
    };
    for (const auto &r : rows) {
        EXPECT_EQ(page[r.index].text, r.text) << r.index;
        EXPECT_EQ(page[r.index].xMm, r.x) << r.index;
        EXPECT_EQ(page[r.index].yMm, r.y) << r.index;
    }
    const std::string record = page[2].text;
    EXPECT_EQ(record.size(), 100u);
    EXPECT_EQ(record, "Progetto:" + std::string(36, '_') + "  Data" + std::string(6, '_') + "/"
                          + std::string(7, '_') + "/" + std::string(7, '_') + " Note:"
                          + std::string(21, '_'));
    EXPECT_FALSE(page[138].text.empty());
    EXPECT_EQ(page[138].xMm, 60);
    EXPECT_EQ(page[138].yMm, 260);
    for (std::size_t i = 12; i < 138; ++i)
        EXPECT_EQ(page[i].text, "0") << i;
}

TEST(AltitudePage, CopiesEveryTextAsItStands)
{
    MemoryForm form;
    form.setText("Lat", " 45.5 ");
    form.setText("dcl201a", "-3,33");
    form.setText("x23", "------");
    form.setText("s54", "76,5433000000001"); // wider than its 20 mm: not cut
    form.setText("dc5a", "");
    form.setCaption("Label101", "21/06");

    const std::vector<PageText> page = altitudePage(form);
    auto at = [&](double x, double y) {
        for (const PageText &t : page)
            if (t.xMm == x && t.yMm == y)
                return t.text;
        return std::string("(nothing)");
    };
    EXPECT_EQ(at(15, 20), "LAT = 45.5 ");
    EXPECT_EQ(at(25, 60), "-3,33");
    EXPECT_EQ(at(85, 60), "------");
    EXPECT_EQ(at(105, 180), "76,5433000000001");
    EXPECT_EQ(at(25, 180), "");
    for (const PageText &t : page)
        EXPECT_NE(t.text, "21/06"); // the window's headings stay off the page
}

TEST(PrintTable, SetsUpThePageBeforeTheFirstTextAndEndsIt)
{
    MemoryForm form;
    RecordingPrinter printer;
    ASSERT_EQ(printTable(form, printer), PrintOutcome::Sent);
    const auto &log = printer.log();
    ASSERT_EQ(log.size(), 7u + 2 * 139 + 1);
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 9),
              (std::vector<std::string>{"default", "unit mm", "paper A4", "portrait", "copies 1",
                                        "font 9", "bold off", "at y 10 x 74",
                                        "text ALTEZZA DEL SOLE   "}));
    EXPECT_EQ(log[9], "at y 20 x 15");
    EXPECT_EQ(log.back(), "end");

    RecordingPrinter again;
    ASSERT_EQ(printTable(form, again), PrintOutcome::Sent);
    EXPECT_EQ(again.log(), log);
}

TEST(PrintTable, AnyFailureCancelsAndStopsThere)
{
    const MemoryForm form;
    const int operations = 7 + 2 * 139 + 1;
    for (int failAt = 0; failAt < operations; ++failAt) {
        RecordingPrinter printer(failAt);
        EXPECT_EQ(printTable(form, printer), PrintOutcome::Failed) << failAt;
        const auto &log = printer.log();
        ASSERT_EQ(log.size(), std::size_t(failAt) + 2) << failAt;
        EXPECT_EQ(log[failAt].rfind("FAILED", 0), 0u) << failAt;
        EXPECT_EQ(log.back(), "cancel") << failAt;
    }
}

} // namespace
