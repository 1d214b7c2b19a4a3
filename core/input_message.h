#pragma once

#include "altitude.h"

#include <string>

namespace solvara {

// The Italian text that tells the user which box holds a refused number and
// what to type instead.
std::string inputMessage(const InputError &error);

// What a box's text reads as, for a text too wide to show whole in its box:
// the text and its value ("45°30'00\" N = 45,5°"), or the message that a
// press of "Calcola" would give. column: 0 for the latitude, else 1..14.
std::string readingHint(int column, const std::string &text);

} // namespace solvara
