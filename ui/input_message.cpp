#include "input_message.h"

namespace solvara {

std::string inputMessage(const InputError &error)
{
    const std::string where = error.column == 0
        ? std::string("La latitudine")
        : "La declinazione della colonna " + std::to_string(error.column);

    const std::string withText = where + " \u00ab" + error.text + "\u00bb";
    std::string what;
    switch (error.kind) {
    case InputError::Kind::Empty:
        what = where + " è vuota.";
        break;
    case InputError::Kind::NotANumber:
        what = withText + " non è un numero.";
        break;
    case InputError::Kind::SixtyOrMore:
        what = withText + " ha minuti o secondi pari o superiori a 60.";
        break;
    case InputError::Kind::TooLarge:
        what = withText + " è un numero troppo grande.";
        break;
    }

    return what + "\nScrivere i gradi (es. 38,1217 oppure 38°07'18\" N).";
}

} // namespace solvara
