// Fuzzed input to the print helper, read as the helper reads it: the frame's
// first line, then the request it announces (the whole input when the line
// is refused). Reading never crashes nor reads outside the input. A first
// line is accepted only as a length the window writes: decimal, within the
// limit. A request that is accepted holds every box the page reads once, so
// that the window's own request for the same texts is as long and is read
// back to the same texts.
//
// With SOLVARA_FUZZ_SEED=FILE it writes the window's opening request, framed,
// to FILE and ends: the seed of the corpus (scripts/fuzz.sh).
#include "check.h"
#include "memory_form.h"
#include "page_request.h"
#include "print_limits.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    if (const char *seed = std::getenv("SOLVARA_FUZZ_SEED")) {
        std::ofstream(seed, std::ios::binary)
            << solvara::framedRequest(solvara::pageRequest(solvara::MemoryForm()));
        std::exit(0);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    const std::size_t feed = input.find('\n');
    const std::string_view line = input.substr(0, feed);
    const auto length = solvara::requestLength(line);
    if (length)
        check(*length <= solvara::kRequestLimit && std::to_string(*length) == line);
    const std::string_view request =
        length && feed != input.npos ? input.substr(feed + 1, *length) : input;

    solvara::MemoryForm form;
    if (solvara::readPageRequest(request, form)) {
        const std::string written = solvara::pageRequest(form);
        check(written.size() == request.size());
        solvara::MemoryForm again;
        check(solvara::readPageRequest(written, again) && solvara::pageRequest(again) == written);
    }
    return 0;
}
