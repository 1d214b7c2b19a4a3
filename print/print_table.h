#pragma once

#include "form.h"
#include "printer.h"

namespace solvara {

enum class PrintOutcome {
    Sent, // the printer took the whole page
    Failed, // something failed; the job was cancelled
};

// The print button: sets up A4 portrait, one copy, 9 points regular, places
// every text of the altitude page and ends the document. On any failure the
// open job is cancelled so that nothing comes out.
PrintOutcome printTable(const Form &form, Printer &printer);

} // namespace solvara
