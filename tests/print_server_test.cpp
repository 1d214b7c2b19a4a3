// A print server that misbehaves makes the print fail soon, each wait ending
// at its own limit, and gets no password; one that behaves gets the page.
#include "cups_printer.h"
#include "fake_print_server.h"
#include "memory_form.h"
#include "pdf_words.h"
#include "print_table.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

namespace {

using namespace solvara;
using namespace std::chrono_literals;
using Mode = FakePrintServer::Mode;

TEST(PrintServerFaults, EveryWaitEndsInAFailureWithinItsLimit)
{
    const struct {
        const char *name;
        Mode mode;
        PrintServerLimits limits; // connect, each exchange, the whole hand-over, cancel
        int fromMs, toMs, clients, cancels; // a failed job is cancelled over a new connection
        PrintOutcome outcome = PrintOutcome::Failed;
    } rows[] = {
        {"full: the connection's limit", Mode::Full, {1s, 3s, 3s, 1s}, 1000, 1800, 0, 0},
        {"silent: the first answer's limit", Mode::Silent, {3s, 1s, 3s, 1s}, 1000, 1800, 1, 0},
        {"trickle: the hand-over's limit", Mode::Trickle, {3s, 3s, 1s, 1s}, 1000, 1800, 1, 0},
        {"password: at once", Mode::AsksPassword, {3s, 3s, 3s, 1s}, 0, 500, 1, 0},
        {"job refused: at once", Mode::RefusesJobs, {3s, 3s, 3s, 1s}, 0, 500, 1, 0},
        {"page unanswered: exchange limit", Mode::SwallowsAnswer, {3s, 1s, 3s, 1s}, 1000, 1800, 2, 1},
        {"another job's success: at once", Mode::WrongJob, {3s, 3s, 3s, 1s}, 0, 500, 2, 1},
        {"accepted", Mode::Accepts, {3s, 3s, 3s, 1s}, 0, 2000, 1, 0, PrintOutcome::Sent},
    };
    MemoryForm form;
    for (const auto &r : rows) {
        FakePrintServer server(r.mode, 10s);
        qputenv("CUPS_SERVER", server.address());
        CupsPrinter printer(r.limits);
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(printTable(form, printer), r.outcome) << r.name;
        EXPECT_GE(clock.elapsed(), r.fromMs) << r.name;
        EXPECT_LE(clock.elapsed(), r.toMs) << r.name;
        EXPECT_EQ(server.told("connection"), r.clients) << r.name;
        EXPECT_EQ(server.told("operation 0x0008"), r.cancels) << r.name;
        EXPECT_EQ(server.told("password"), 0) << r.name;
        if (r.outcome == PrintOutcome::Sent) { // the page moves inside the printer's margins
            const auto title = readPdf(server.document()).find("ALTEZZA").value_or(PdfWord{});
            EXPECT_NEAR(title.leftMm, 74 + 4.23, 0.3);
            EXPECT_NEAR(title.topMm, 10 + 6.35, 0.3);
        }
    }
    qunsetenv("CUPS_SERVER");
}

} // namespace
