#pragma once

#include "printer.h"

#include <sstream>
#include <string>
#include <vector>

// A printer that writes down every operation, and fails the one numbered
// failAt (0 = the first) when asked to.
class RecordingPrinter final : public solvara::Printer {
public:
    explicit RecordingPrinter(int failAt = -1)
        : failAt_(failAt)
    {}

    bool useDefaultPrinter() override { return record("default"); }
    bool setUnitMillimetres() override { return record("unit mm"); }
    bool setPaperA4() override { return record("paper A4"); }
    bool setPortrait() override { return record("portrait"); }
    bool setCopies(int n) override { return record("copies " + std::to_string(n)); }
    bool setFontSize(double points) override { return record("font ", points); }
    bool setBold(bool bold) override { return record(bold ? "bold on" : "bold off"); }
    bool setPosition(double y, double x) override { return record("at y ", y, " x ", x); }
    bool printText(std::string_view text) override { return record("text ", text); }
    bool endDocument() override { return record("end"); }
    void cancelDocument() override { log_.push_back("cancel"); }

    const std::vector<std::string> &log() const { return log_; }

private:
    template<typename... Parts>
    bool record(const Parts &...parts)
    {
        std::ostringstream s;
        (s << ... << parts);
        const bool ok = int(log_.size()) != failAt_;
        log_.push_back((ok ? "" : "FAILED ") + s.str());
        return ok;
    }

    int failAt_;
    std::vector<std::string> log_;
};
