#include "input_message.h"

namespace solvara {

std::string inputMessage(const InputError &error)
{
    const std::string where = error.column == 0
        ? std::string("La latitudine")
        : "La declinazione della colonna " + std::to_string(error.column);

    std::string what;
    if (error.text.find_first_not_of(" \t") == std::string::npos)
        what = where + " è vuota.";
    else if (error.kind == InputError::Kind::TooLarge)
        what = where + " \u00ab" + error.text + "\u00bb è un numero troppo grande.";
    else
        what = where + " \u00ab" + error.text + "\u00bb non è un numero.";

    return what + "\nScrivere i gradi con la virgola decimale (es. 38,1217).";
}

} // namespace solvara
