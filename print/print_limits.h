#pragma once

#include <chrono>

namespace solvara {

// From the click on "Stampa" to the message, whatever the print system does.
inline constexpr std::chrono::seconds kPrintLimit{20};
// How long the window lets the print helper work: the rest of kPrintLimit is
// for ending it and showing the message.
inline constexpr std::chrono::milliseconds kHelperLimit =
    kPrintLimit - std::chrono::milliseconds(500);
// A job left behind by a print that did not end well is withdrawn by a
// helper of its own that gives up after this long.
inline constexpr std::chrono::seconds kCancelLimit{3};

// The print helper's name; the window looks for it beside itself (the build
// tree) and where the package installs it.
inline constexpr const char *kPrintHelperName = "solvara-print";

} // namespace solvara
