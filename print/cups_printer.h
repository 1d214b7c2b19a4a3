#pragma once

#include "pdf_page.h"
#include "printer.h"

#include <QPointF>

#include <cups/http.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace solvara {

// How long each wait on the server may last, so that the usual faults (a
// server that stays silent, stalls or swallows the page) end in an error
// within a few seconds. They cannot cover every wait inside libcups (name
// look-ups, its retries of a busy server); the window's own clock bounds the
// whole print (print_limits.h).
struct PrintServerLimits {
    std::chrono::milliseconds connect{4000}; // opening the connection
    std::chrono::milliseconds exchange{5000}; // one request and its answer, page upload included
    std::chrono::milliseconds handOver{12000}; // from finding the printer to the page's acceptance
    std::chrono::milliseconds cancel{3000}; // withdrawing a job after a failure
    // A job's creation answered after its exchange's limit: the print has
    // failed by then, but the job the answer tells of is still this print's
    // to withdraw, so the answer is awaited until then (the print helper's
    // own end); by default not at all.
    std::chrono::steady_clock::time_point lateJobUntil{};
};

// The system's default CUPS destination. The page is drawn as a PDF in
// memory and handed to CUPS only when the document ends; it counts as sent
// only once the server has answered the page's submission with a success for
// this job. A job that fails after it was created is cancelled.
//
// It blocks while it talks with the server, so it runs in the print helper
// (solvara-print), a process of its own that the window does not wait for.
// The server is never asked for a password and nothing is read from the
// terminal.
class CupsPrinter final : public Printer {
public:
    // What the helper learns of the job as it goes, to withdraw it should the
    // window go away: asking just before the server is asked to create the
    // job; overdue, with why the print failed, once the exchange's limit has
    // passed while the answer is still awaited (see lateJobUntil); created
    // with its number as soon as the server has, before the page is sent;
    // confirmed the moment the server's success for the page is known, after
    // which the job is the server's to print.
    struct JobEvents {
        std::function<void()> asking;
        std::function<void(const std::string &why)> overdue;
        std::function<void(int jobId)> created;
        std::function<void()> confirmed;
    };

    explicit CupsPrinter(PrintServerLimits limits = {}, JobEvents events = {});
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

    // Why the print failed, in a sentence for the window's message: the first
    // failure since the printer was last addressed (useDefaultPrinter), told
    // as the server showed it (silent, refusing in its own words, asking for
    // a password, with no default printer...); empty while nothing failed.
    const std::string &reason() const { return reason_; }

private:
    using Clock = std::chrono::steady_clock;

    // Opens the connection, to give up at the given time.
    bool connect(Clock::time_point giveUpAt);
    // Starts the clock for the next request and its answer.
    void nextWait();
    // The timeout callback while a job's creation is awaited: tells the
    // print overdue once, and waits on until lateJobUntil.
    static int keepWaitingForJob(http_t *, void *printer);
    // Whether the server told what the default printer is and takes.
    bool ready() const;
    bool submit(const QByteArray &pdf);
    // Keeps why, unless an earlier failure already told; returns false.
    bool fail(std::string why);
    // Why the exchange with the server just failed: its wait ran out, the
    // server asked for a password, the connection broke; or else otherwise.
    std::string exchangeFailure(std::string otherwise) const;

    // The connection and what the server said of the printer, as libcups
    // keeps them; one at a time, freed with the printer.
    struct Server;

    PrintServerLimits limits_;
    JobEvents events_;
    std::unique_ptr<Server> server_;
    // When the wait in progress gives up; read by the connection's timeout
    // callback.
    Clock::time_point waitUntil_;
    Clock::time_point handOverEnds_;
    Clock::time_point overdueAt_; // of the job's creation
    bool overdueTold_ = false;
    QPointF printableOriginMm_;
    int copies_ = 1;
    double points_ = 9;
    bool bold_ = false;
    QPointF positionMm_;
    std::vector<PlacedText> texts_;
    int jobId_ = 0;
    std::string reason_;
};

// Asks the default server to cancel job jobId, giving up after limit (a
// connection that cannot be opened, an answer that does not come). Returned:
// true when the server answered that it cancelled the job.
bool cancelCupsJob(int jobId, std::chrono::milliseconds limit);

} // namespace solvara
