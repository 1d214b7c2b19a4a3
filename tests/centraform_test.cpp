#include "centraform.h"
#include "mainform.h"

#include <gtest/gtest.h>

#include <QScreen>
#include <QTest>

#include <optional>

namespace {

using CentraForm::centredOffsets;
using CentraForm::WindowState;

struct Case {
    const char *name;
    WindowState state;
    double windowWidth, windowHeight, screenWidth, screenHeight;
    std::optional<CentraForm::Offsets> expected;
};

void PrintTo(const Case &c, std::ostream *os) { *os << c.name; }

const Case kCases[] = {
    {"SmallerThanTheScreen", WindowState::Normal, 12000, 9000, 19200, 14400,
     CentraForm::Offsets{3600, 2700}},
    // 4096 and 2048 share no bit; the window still goes to the centre.
    {"OffsetsWithNoBitInCommon", WindowState::Normal, 11808, 10304, 20000, 14400,
     CentraForm::Offsets{4096, 2048}},
    {"OddDifferenceHalvesTowardZero", WindowState::Normal, 1000, 1000, 1101, 1101,
     CentraForm::Offsets{50, 50}},
    {"LargerThanTheScreen", WindowState::Normal, 20000, 16000, 19899, 14400,
     CentraForm::Offsets{-50, -800}},
    // Half twips round to the nearest whole (3.5 to 4, 1.5 to 2), not down.
    {"HalfTwipsRoundToNearest", WindowState::Normal, 1000, 1000, 1003.5, 1001.5,
     CentraForm::Offsets{2, 1}},
    {"Maximised", WindowState::Maximised, 1000, 1000, 19200, 14400, std::nullopt},
    {"Minimised", WindowState::Minimised, 1000, 1000, 19200, 14400, std::nullopt},
    {"LeftOffsetPast16Bits", WindowState::Normal, 1000, 1000, 70000, 14400, std::nullopt},
    {"LeftOffsetAtThe16BitLimit", WindowState::Normal, 1000, 1000, 66534, 14400,
     CentraForm::Offsets{32767, 6700}},
    {"TopDifferencePast32Bits", WindowState::Normal, 1000, 1000, 19200, 5e9, std::nullopt},
};

class Centring : public testing::TestWithParam<Case> {};

TEST_P(Centring, GivesEqualMarginsOrLeavesTheWindow)
{
    const Case &c = GetParam();
    const auto offsets =
        centredOffsets(c.state, c.windowWidth, c.windowHeight, c.screenWidth, c.screenHeight);
    ASSERT_EQ(offsets.has_value(), c.expected.has_value());
    if (offsets) {
        EXPECT_EQ(offsets->left, c.expected->left);
        EXPECT_EQ(offsets->top, c.expected->top);
    }
}

INSTANTIATE_TEST_SUITE_P(Screens, Centring, testing::ValuesIn(kCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(CentraFormWindow, OpensCentredOnItsScreen)
{
    MainForm form;
    form.move(0, 0);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QRect screen = form.screen()->geometry();
    const QRect frame = form.frameGeometry();
    EXPECT_LE(std::abs((frame.left() - screen.left()) - (screen.right() - frame.right())), 2);
    EXPECT_LE(std::abs((frame.top() - screen.top()) - (screen.bottom() - frame.bottom())), 2);
}

TEST(CentraFormWindow, MaximisedWindowIsNotMoved)
{
    MainForm form;
    form.move(7, 9);
    form.setWindowState(Qt::WindowMaximized);
    CentraForm::Centra(form);
    EXPECT_EQ(form.pos(), QPoint(7, 9));
}

} // namespace
