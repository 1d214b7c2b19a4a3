// Fifteen fuzzed box texts (latitude first, separated by newlines): the
// computation never crashes, and every cell ends up "0" (input refused),
// the below-horizon marker, a two-decimal number, or in the noon row a plain
// number.
#include "altitude.h"
#include "memory_form.h"
#include "number_text.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

bool digits(std::string_view s) { return !s.empty() && s.find_first_not_of("0123456789") == s.npos; }

bool twoDecimals(std::string_view s)
{
    if (s == "-0,00")
        return false;
    if (!s.empty() && s.front() == '-')
        s.remove_prefix(1);
    const auto comma = s.find(',');
    return comma != s.npos && digits(s.substr(0, comma)) && s.size() - comma == 3
           && digits(s.substr(comma + 1));
}

bool plain(std::string_view s)
{
    if (!s.empty() && s.front() == '-')
        s.remove_prefix(1);
    const auto comma = s.find(',');
    if (comma == s.npos)
        return digits(s);
    return digits(s.substr(0, comma)) && digits(s.substr(comma + 1)) && s.back() != '0';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char *>(data), size);
    solvara::MemoryForm form;
    for (int box = 0; box <= solvara::kColumns && !input.empty(); ++box) {
        const auto end = input.find('\n');
        const std::string text(input.substr(0, end));
        form.setText(box == 0 ? std::string(solvara::kLatitudeBox) : solvara::declinationBox(box),
                     text);
        input.remove_prefix(end == input.npos ? input.size() : end + 1);
    }
    const bool refused = solvara::computeTable(form).has_value();
    for (int column = 1; column <= solvara::kColumns; ++column)
        for (int row = 1; row <= solvara::kRows; ++row) {
            const std::string cell = form.text(solvara::cellName(column, row));
            const bool ok = refused ? cell == "0"
                                    : cell == solvara::kBelowHorizon || twoDecimals(cell)
                                          || (row == solvara::kNoonRow && plain(cell));
            if (!ok)
                std::abort();
        }
    return 0;
}
