#pragma once

#include "pdf_page.h"
#include "printer.h"

#include <QPointF>

#include <chrono>
#include <functional>
#include <vector>

struct _http_s;
struct cups_dest_s;
struct _cups_dinfo_s;

namespace solvara {

// How long the print system may keep the window waiting. Every wait on the
// server ends by itself: whatever the server does (stays silent, answers a
// byte at a time, swallows the page), the error is shown well within 20
// seconds of the click.
struct PrintServerLimits {
    std::chrono::milliseconds connect{4000};   // opening the connection
    std::chrono::milliseconds exchange{5000};  // one request and its answer, page upload included
    std::chrono::milliseconds handOver{12000}; // from finding the printer to the page's acceptance
    std::chrono::milliseconds cancel{3000};    // withdrawing a job after a failure
};

// The system's default CUPS destination. The page is drawn as a PDF in
// memory and handed to CUPS only when the document ends; it counts as sent
// only once the server has answered the page's submission with a success for
// this job. A job that fails after it was created is cancelled.
//
// Each talk with the server runs on a worker thread over this printer's own
// connection, while the calling (window) thread waits in a local event loop:
// the window keeps repainting, and its owner decides which input it takes.
// The server is never asked for a password and nothing is read from the
// terminal.
class CupsPrinter final : public Printer {
public:
    explicit CupsPrinter(PrintServerLimits limits = {});
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
    using Clock = std::chrono::steady_clock;

    // Runs work on a worker thread, the calling thread waiting in a local
    // event loop until it returns.
    static bool onWorker(const std::function<bool()> &work);
    // Opens the connection, to give up at the given time. Worker thread only.
    bool connect(Clock::time_point giveUpAt);
    // Starts the clock for the next request and its answer.
    void nextWait();
    bool submit(const QByteArray &pdf);

    PrintServerLimits limits_;
    _http_s *http_ = nullptr;
    // When the wait in progress gives up; read by the connection's timeout
    // callback on the worker thread.
    Clock::time_point waitUntil_;
    Clock::time_point handOverEnds_;
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
