#include "centraform.h"

#include <gtest/gtest.h>

namespace {

using CentraForm::Offsets;
using CentraForm::WindowState;

TEST(CentredOffsets, EqualMarginsOrNoMove)
{
    const auto N = WindowState::Normal;
    const struct {
        const char *name;
        WindowState state;
        double windowWidth, windowHeight, screenWidth, screenHeight;
        std::optional<Offsets> expected;
    } rows[] = {
        {"smaller than the screen", N, 12000, 9000, 19200, 14400, Offsets{3600, 2700}},
        {"offsets with no bit in common", N, 11808, 10304, 20000, 14400, Offsets{4096, 2048}},
        {"odd differences halve toward zero", N, 20000, 1000, 19899, 1101, Offsets{-50, 50}},
        {"half twips round to nearest", N, 1000, 1000, 1003.5, 1001.5, Offsets{2, 1}},
        {"left offset at the 16-bit limit", N, 1000, 1000, 66534, 14400, Offsets{32767, 6700}},
        {"left offset past 16 bits", N, 1000, 1000, 70000, 14400, std::nullopt},
        {"left offset at the lower 16-bit limit", N, 66536, 1000, 1000, 14400,
         Offsets{-32768, 6700}},
        {"left offset below 16 bits", N, 66538, 1000, 1000, 14400, std::nullopt},
        {"top difference at the 32-bit limit", N, 1000, 1000, 19200, 2147484647.0,
         Offsets{9100, 1073741823}},
        {"top difference past 32 bits", N, 1000, 1000, 19200, 5e9, std::nullopt},
        {"maximised", WindowState::Maximised, 1000, 1000, 19200, 14400, std::nullopt},
        {"minimised", WindowState::Minimised, 1000, 1000, 19200, 14400, std::nullopt},
    };
    for (const auto &r : rows)
        EXPECT_EQ(CentraForm::centredOffsets(r.state, r.windowWidth, r.windowHeight, r.screenWidth,
                                             r.screenHeight),
                  r.expected)
            << r.name;
}

} // namespace
