#include "input_message.h"

#include "number_text.h"

namespace solvara {

std::string inputMessage(const InputError &error)
{
    const std::string where = error.column == 0
        ? std::string("La latitudine")
        : "La declinazione della colonna " + std::to_string(error.column);

    // The line end a pasted cell brought along would break the quote.
    const std::string withText = where + " \u00ab" + std::string(trimBlanks(error.text)) + "\u00bb";
    std::string what;
    switch (error.kind) {
    case InputError::Kind::Empty: what = where + " è vuota."; break;
    case InputError::Kind::NotANumber: what = withText + " non è un numero."; break;
    case InputError::Kind::SixtyOrMore:
        what = withText + " ha minuti o secondi pari o superiori a 60.";
        break;
    case InputError::Kind::BeyondNinety:
        what = withText + " deve essere compresa tra -90 e 90 gradi.";
        break;
    }

    return what + "\nScrivere i gradi (es. 38,1217 oppure 38°07'18\" N).";
}

std::string readingHint(int column, const std::string &text)
{
    const auto read = readBox(column, text);
    if (const auto *error = std::get_if<InputError>(&read))
        return inputMessage(*error);
    return std::string(trimBlanks(text)) + " = " + formatPlain(std::get<double>(read)) + "°";
}

} // namespace solvara
