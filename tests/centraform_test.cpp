#include "centraform.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using CentraForm::Offsets;
using enum CentraForm::WindowState;

// Window width and height, screen width and height, in twips.
TEST(CentredOffsets, EqualMarginsOrNoMove)
{
    const std::tuple<const char *, CentraForm::WindowState, double, double, double, double,
                     std::optional<Offsets>>
        rows[] = {
            // clang-format off
            {"smaller than the screen", Normal, 12000, 9000, 19200, 14400, Offsets{3600, 2700}},
            {"offsets with no bit in common", Normal, 11808, 10304, 20000, 14400, Offsets{4096, 2048}},
            {"odd differences halve toward zero", Normal, 20000, 1000, 19899, 1101, Offsets{-50, 50}},
            {"half twips round to nearest", Normal, 1000, 1000, 1003.5, 1001.5, Offsets{2, 1}},
            {"left offset at the 16-bit limit", Normal, 1000, 1000, 66534, 14400, Offsets{32767, 6700}},
            {"left offset past 16 bits", Normal, 1000, 1000, 70000, 14400, std::nullopt},
            {"left offset at the lower 16-bit limit", Normal, 66536, 1000, 1000, 14400, Offsets{-32768, 6700}},
            {"left offset below 16 bits", Normal, 66538, 1000, 1000, 14400, std::nullopt},
            {"top difference at the 32-bit limit", Normal, 1000, 1000, 19200, 2147484647.0, Offsets{9100, 1073741823}},
            {"top difference past 32 bits", Normal, 1000, 1000, 19200, 5e9, std::nullopt},
            {"maximised", Maximised, 1000, 1000, 19200, 14400, std::nullopt},
            {"minimised", Minimised, 1000, 1000, 19200, 14400, std::nullopt},
            // clang-format on
        };
    for (const auto &[name, state, width, height, screenWidth, screenHeight, expected] : rows)
        EXPECT_EQ(CentraForm::centredOffsets(state, width, height, screenWidth, screenHeight),
                  expected)
            << name;
}

} // namespace
