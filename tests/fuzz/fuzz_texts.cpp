// Fuzzed box texts. As one text: reading never crashes; what it accepts is
// finite, no more than 90 degrees either way, and written back to within its
// rounding; white space around it changes nothing. As fifteen texts split at
// '|' (latitude first; a pasted box text may end in a newline): computing
// never crashes and every cell ends up "0" (input refused), the marker, a
// two-decimal number, or in the noon row a plain number.
#include "altitude.h"
#include "check.h"
#include "memory_form.h"
#include "number_text.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <regex>
#include <string>
#include <variant>

namespace {

// A cell's number: "#0.00", or the noon row's plain form (no comma for a
// whole value, no trailing zero after one).
const std::regex kTwoDecimals("-?[0-9]+,[0-9]{2}");
const std::regex kPlain("-?[0-9]+(,[0-9]*[1-9])?");

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char *>(data), size);

    const auto read = solvara::readDegrees(input);
    check(solvara::readDegrees("\u3000\u00a0" + std::string(input) + "\u2029\r\n") == read);
    if (const auto *value = std::get_if<double>(&read)) {
        check(std::isfinite(*value) && std::fabs(*value) <= 90.0);
        const auto shown = solvara::readDegrees(solvara::formatTwoDecimals(*value));
        check(std::fabs(std::get<double>(shown) - *value) <= 0.005 + std::fabs(*value) * 1e-15);
        const auto plain = solvara::readDegrees(solvara::formatPlain(*value));
        check(std::fabs(std::get<double>(plain) - *value) <= std::fabs(*value) * 1e-14);
    }

    solvara::MemoryForm form;
    for (int box = 0; box <= solvara::kColumns && !input.empty(); ++box) {
        const auto end = input.find('|');
        form.setText(box == 0 ? std::string(solvara::kLatitudeBox) : solvara::declinationBox(box),
                     input.substr(0, end));
        input.remove_prefix(end == input.npos ? input.size() : end + 1);
    }
    const bool refused = solvara::computeTable(form).has_value();
    for (int column = 1; column <= solvara::kColumns; ++column)
        for (int row = 1; row <= solvara::kRows; ++row) {
            const std::string cell = form.text(solvara::cellName(column, row));
            check(refused ? cell == "0"
                          : cell == solvara::kBelowHorizon
                          || (std::regex_match(cell, kTwoDecimals) && cell != "-0,00")
                          || (row == solvara::kNoonRow && std::regex_match(cell, kPlain)));
        }
    return 0;
}
