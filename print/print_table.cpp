#include "print_table.h"

#include "altitude_page.h"

namespace solvara {

namespace {

bool printPage(const Form &form, Printer &printer)
{
    if (!(printer.useDefaultPrinter() && printer.setUnitMillimetres() && printer.setPaperA4()
          && printer.setPortrait() && printer.setCopies(1) && printer.setFontSize(kPageFontPoints)
          && printer.setBold(false)))
        return false;
    for (const PageText &item : altitudePage(form))
        if (!(printer.setPosition(item.yMm, item.xMm) && printer.printText(item.text)))
            return false;
    return printer.endDocument();
}

} // namespace

PrintOutcome printTable(const Form &form, Printer &printer)
{
    if (printPage(form, printer))
        return PrintOutcome::Sent;
    printer.cancelDocument();
    return PrintOutcome::Failed;
}

} // namespace solvara
