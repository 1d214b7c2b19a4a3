#pragma once

class QLineEdit;

namespace solvara::ui {

// Gives a box whose text is wider than the box (a latitude in degrees,
// minutes and seconds, a pasted text) a tooltip with the whole text and the
// value it reads as, or why "Calcola" would refuse it; a text that shows
// whole needs none. column: 0 for the latitude, else 1..14.
void hintWholeText(QLineEdit &box, int column);

} // namespace solvara::ui
