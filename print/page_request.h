#pragma once

#include "form.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace solvara {

// The texts the page is printed from (the latitude, the fourteen declinations
// and the 112 cells), as the window hands them to the print helper: for each
// box its name, a blank, the length of its text in bytes, a line feed, the
// text and a line feed. A text may hold any bytes, line feeds included.
std::string pageRequest(const Form &form);

// Writes every text of a request into form. Returned: false for a request
// that is cut short, malformed, or does not name every box the page reads
// exactly once; form may then hold some of its texts.
bool readPageRequest(std::string_view request, Form &form);

// A request as the window writes it to the helper: its length in bytes, in
// decimal, on a line of its own, then the request. The helper knows so where
// it ends while the window keeps the helper's input open.
std::string framedRequest(std::string_view request);

// The length a framed request's first line (its line feed left out)
// announces; nullopt for anything but a length as framedRequest writes it
// (decimal digits, no leading zero), or more than kRequestLimit.
std::optional<std::size_t> requestLength(std::string_view line);

// The line on which the helper tells why a print failed, its line feed left
// out: "reason ", then the reason, each control character in it a blank, cut
// short when longer than kHelperLineLimit (at the start of a UTF-8 character,
// "…" marking the cut).
std::string reasonLine(std::string_view reason);

} // namespace solvara
