#pragma once

#include "pdf_page.h"
#include "printer.h"

#include <QPointF>

#include <vector>

struct cups_dest_s;
struct _cups_dinfo_s;

namespace solvara {

// The system's default CUPS destination. The page is drawn as a PDF in
// memory and handed to CUPS only when the document ends; it counts as sent
// only once the print system has accepted it with a job number. A job that
// fails after it was created is cancelled.
class CupsPrinter final : public Printer {
public:
    CupsPrinter();
    ~CupsPrinter() override;
    CupsPrinter(const CupsPrinter &) = delete;
    CupsPrinter &operator=(const CupsPrinter &) = delete;

    bool useDefaultPrinter() override;
    bool setUnitMillimetres() override;
    bool setPaperA4() override;
    bool setPortrait() override;
    bool setCopies(int copies) override;
    bool setFontSize(double points) override;
    bool setBold(bool bold) override;
    bool setPosition(double yMm, double xMm) override;
    bool printText(std::string_view text) override;
    bool endDocument() override;
    void cancelDocument() override;

private:
    cups_dest_s *dest_ = nullptr;
    _cups_dinfo_s *info_ = nullptr;
    QPointF printableOriginMm_;
    int copies_ = 1;
    double points_ = 9;
    bool bold_ = false;
    QPointF positionMm_;
    std::vector<PlacedText> texts_;
    int jobId_ = 0;
};

} // namespace solvara
