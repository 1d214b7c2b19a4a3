#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace solvara {

// From the click on "Stampa" to the message, whatever the print system does.
inline constexpr std::chrono::seconds kPrintLimit{20};
// What the message tells of a print the clock ended.
inline std::string printLimitReason()
{
    return "Il server di stampa non ha risposto entro " + std::to_string(kPrintLimit.count())
        + " secondi.";
}
// How long a print may take: the window gives up on the helper then (the rest
// of kPrintLimit is for showing the message), and the helper, which counts
// from its own start, abandons the print then too.
inline constexpr std::chrono::milliseconds kHelperLimit =
    kPrintLimit - std::chrono::milliseconds(500);
// How long the helper may take to withdraw the job of a print that did not
// end well.
inline constexpr std::chrono::seconds kCancelLimit{3};
// The helper's last resort: it is ended this long after its start, whatever
// it waits on, leaving room for its own limit and the withdrawal after it.
inline constexpr std::chrono::seconds kHelperAlarm =
    std::chrono::ceil<std::chrono::seconds>(kHelperLimit + kCancelLimit) + std::chrono::seconds(1);

// The most the window hands the helper: the page's texts, as typed or pasted
// into fifteen boxes, fit many times over.
inline constexpr std::size_t kRequestLimit = std::size_t(16) << 20;
// What the helper may say before the window stops listening and counts the
// print as failed: a line of at most kHelperLineLimit bytes, at most
// kHelperOutputLimit bytes in all (it says a few short lines).
inline constexpr std::size_t kHelperLineLimit = 256;
inline constexpr std::size_t kHelperOutputLimit = 4096;

// The print helper's name; the window looks for it beside itself (the build
// tree) and where the package installs it.
inline constexpr const char *kPrintHelperName = "solvara-print";

} // namespace solvara
