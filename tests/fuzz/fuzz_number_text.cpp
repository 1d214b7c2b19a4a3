// Any text typed into a box: reading never crashes, and what it accepts is
// finite and comes back from the two-decimal pattern as the rounded value.
#include "number_text.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const auto value = solvara::parseDecimal(text);
    if (!value)
        return 0;
    if (!std::isfinite(*value))
        std::abort();
    const auto shown = solvara::parseDecimal(solvara::formatTwoDecimals(*value));
    if (!shown || std::fabs(*shown - *value) > 0.005 + std::fabs(*value) * 1e-15)
        std::abort();
    const auto plain = solvara::parseDecimal(solvara::formatPlain(*value));
    if (!plain || std::fabs(*plain - *value) > std::fabs(*value) * 1e-14)
        std::abort();
    return 0;
}
