#pragma once

#include "altitude.h"

#include <string>

namespace solvara {

// The Italian text that tells the user which box holds a refused number and
// what to type instead.
std::string inputMessage(const InputError &error);

} // namespace solvara
