#pragma once

#include "printer.h"

#include <string>
#include <vector>

// A printer that writes down every operation, and fails the one numbered
// failAt (0 = the first) when asked to.
class RecordingPrinter final : public solvara::Printer {
public:
    explicit RecordingPrinter(int failAt = -1, std::vector<std::string> *log = nullptr);

    bool useDefaultPrinter() override { return record("default"); }
    bool setUnitMillimetres() override { return record("unit mm"); }
    bool setPaperA4() override { return record("paper A4"); }
    bool setPortrait() override { return record("portrait"); }
    bool setCopies(int copies) override { return record("copies " + std::to_string(copies)); }
    bool setFontSize(double points) override;
    bool setBold(bool bold) override { return record(bold ? "bold on" : "bold off"); }
    bool setPosition(double yMm, double xMm) override;
    bool printText(std::string_view text) override;
    bool endDocument() override { return record("end"); }
    void cancelDocument() override { log_->push_back("cancel"); }

    const std::vector<std::string> &log() const { return *log_; }

private:
    bool record(std::string operation);

    int failAt_;
    int count_ = 0;
    std::vector<std::string> own_;
    std::vector<std::string> *log_;
};
