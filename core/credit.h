#pragma once

namespace solvara {

// The one line that closes the window and the printed page.
inline constexpr const char *kCreditLine = "Programma Solvara, a cura del progetto Solvara";

} // namespace solvara
