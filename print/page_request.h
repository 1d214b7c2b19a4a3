#pragma once

#include "form.h"

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

} // namespace solvara
