#pragma once

#include <string_view>

namespace solvara {

// The printer as the altitude page drives it: one page on which texts are
// placed at positions in millimetres from the top-left corner of the
// printable area. Each operation returns false when the printer refuses it or
// fails.
class Printer {
public:
    virtual ~Printer() = default;

    // Addresses the system's default printer, without asking the user.
    virtual bool useDefaultPrinter() = 0;
    virtual bool setUnitMillimetres() = 0;
    virtual bool setPaperA4() = 0;
    virtual bool setPortrait() = 0;
    virtual bool setCopies(int copies) = 0;
    // Applies to every text printed afterwards.
    virtual bool setFontSize(double points) = 0;
    virtual bool setBold(bool bold) = 0;
    // Where the top-left corner of the next text's first character goes.
    virtual bool setPosition(double yMm, double xMm) = 0;
    // The first text opens the job and its page.
    virtual bool printText(std::string_view text) = 0;
    // Closes the page and hands the job to the printer.
    virtual bool endDocument() = 0;
    // Abandons the open job so that nothing of it comes out. Never fails.
    virtual void cancelDocument() = 0;
};

} // namespace solvara
