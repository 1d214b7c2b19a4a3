#include "altitude_page.h"
#include "grid.h"
#include "memory_form.h"
#include "pdf_page.h"
#include "print_table.h"
#include "recording_printer.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using namespace solvara;

// The page's rule by a few of its places, in millimetres from the printable
// area's corner. Every box holds its own name, so that each text on the page
// tells where it came from.
TEST(AltitudePage, CopiesTheWindowsTextsToTheirPlaces)
{
    MemoryForm form;
    for (int column = 1; column <= kColumns; ++column) {
        form.setText(declinationBox(column), declinationBox(column));
        for (int row = 1; row <= kRows; ++row)
            form.setText(cellName(column, row), cellName(column, row));
    }
    form.setText("s54", "76,5433000000001"); // wider than its 20 mm: not cut
    form.setText("dc4a", "");
    form.setCaption("Label101", "21/06"); // window headings stay off the page

    const auto page = placedTexts(altitudePage(form), kPageFontPoints);
    ASSERT_EQ(page.size(), 139u);
    std::map<std::string, QPointF> at;
    for (const auto &item : page)
        EXPECT_TRUE(at.emplace(item.text.toStdString(), item.positionMm).second)
            << item.text.toStdString();
    const std::string record = "Progetto:" + std::string(36, '_') + "  Data" + std::string(6, '_')
        + "/" + std::string(7, '_') + "/" + std::string(7, '_') + " Note:" + std::string(21, '_');
    // clang-format off
    const std::pair<std::string, QPointF> anchors[] = {
        {"ALTEZZA DEL SOLE   ", {74, 10}}, {"LAT =38,1217", {15, 20}}, {record, {12, 30}},
        {"DCL", {25, 40}}, {"5", {47, 40}}, {"12", {187, 40}}, {"dcl1a", {25, 50}}, {"x1", {45, 50}},
        {"x8", {185, 50}}, {"x23", {85, 60}}, {"s5", {125, 140}}, {"76,5433000000001", {105, 180}},
        {"", {25, 170}}, {"dc5a", {25, 180}}, {"s58", {185, 180}}, {"21/06", {}}};
    // clang-format on
    for (const auto &[text, place] : anchors)
        EXPECT_EQ(at.count(text) ? at[text] : QPointF(), place) << text;
    EXPECT_EQ(page.back().positionMm, QPointF(60, 260)); // the credit
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
