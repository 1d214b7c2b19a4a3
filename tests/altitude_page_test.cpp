#include "altitude_page.h"
#include "memory_form.h"
#include "print_table.h"
#include "recording_printer.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace solvara;

TEST(AltitudePage, CopiesTheWindowsTextsToTheirPlaces)
{
    MemoryForm form;
    form.setText("dcl201a", "-3,33");
    form.setText("x23", "------");
    form.setText("s54", "76,5433000000001"); // wider than its 20 mm: not cut
    form.setText("dc5a", "");
    form.setCaption("Label101", "21/06"); // window headings stay off the page

    const auto page = altitudePage(form);
    ASSERT_EQ(page.size(), 139u);
    std::string all;
    for (const PageText &t : page)
        all += t.text + "@" + std::to_string(int(t.xMm)) + "," + std::to_string(int(t.yMm)) + " ";

    for (const char *item :
         {"ALTEZZA DEL SOLE   @74,10 LAT =38,1217@15,20 Progetto:____", "DCL@25,40 5@47,40 6@67,40",
          "12@187,40 0@25,50 0@45,50", "0@185,50 -3,33@25,60 0@45,60 0@65,60 ------@85,60",
          "76,5433000000001@105,180", "@25,180 ", "0@185,180 Programma Solvara"})
        EXPECT_NE(all.find(item), std::string::npos) << item;
    EXPECT_EQ(all.find("21/06"), std::string::npos);
    EXPECT_EQ(page[2].text, "Progetto:" + std::string(36, '_') + "  Data" + std::string(6, '_')
                                + "/" + std::string(7, '_') + "/" + std::string(7, '_') + " Note:"
                                + std::string(21, '_'));
    EXPECT_EQ(page[138].xMm + page[138].yMm, 60 + 260);
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
