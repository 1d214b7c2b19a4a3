#include "recording_printer.h"

#include <sstream>

RecordingPrinter::RecordingPrinter(int failAt, std::vector<std::string> *log)
    : failAt_(failAt)
    , log_(log ? log : &own_)
{
}

bool RecordingPrinter::setFontSize(double points)
{
    std::ostringstream s;
    s << "font " << points;
    return record(s.str());
}

bool RecordingPrinter::setPosition(double yMm, double xMm)
{
    std::ostringstream s;
    s << "at y " << yMm << " x " << xMm;
    return record(s.str());
}

bool RecordingPrinter::printText(std::string_view text)
{
    return record("text " + std::string(text));
}

bool RecordingPrinter::record(std::string operation)
{
    const bool ok = count_++ != failAt_;
    log_->push_back(ok ? std::move(operation) : "FAILED " + operation);
    return ok;
}
