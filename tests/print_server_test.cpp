// In the print helper: a print server that misbehaves in the usual ways makes
// the print fail soon, each wait ending at its own limit, and gets no
// password; a printer that behaves gets the page. (Faults that no such limit
// reaches are the window's clock's: print_window_test.cpp.)
#include "cups_printer.h"
#include "fake_print_server.h"
#include "memory_form.h"
#include "page_request.h"
#include "pdf_words.h"
#include "print_limits.h"
#include "print_table.h"
#include "window_helpers.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <cmath>
#include <string_view>
#include <tuple>

namespace {

using namespace solvara;
using namespace std::chrono_literals;

TEST(PrintServerFaults, EveryWaitEndsInAFailureWithinItsLimit)
{
    const struct {
        const char *mode;
        PrintServerLimits limits; // connect, each exchange, the whole hand-over, cancel
        int fromMs, toMs, clients, cancels; // a failed job is cancelled over a new connection
        const char *reason; // the message's details (SERVER: its address); none once sent
    } rows[] = {
        // clang-format off
        {"Full", {1s, 3s, 3s, 1s}, 1000, 1800, 0, 0, "Il server di stampa (SERVER) non risponde."},
        {"Silent", {3s, 1s, 3s, 1s}, 1000, 1800, 1, 0, "Il server di stampa non ha risposto in tempo."},
        {"AsksPassword", {3s, 3s, 3s, 1s}, 0, 500, 1, 0, "Il server di stampa chiede una password, ma Solvara non ne usa."},
        {"RefusesJobs", {3s, 3s, 3s, 1s}, 0, 500, 1, 0, "Il server di stampa ha rifiutato la stampa: «server-error-not-accepting-jobs»."},
        {"NoPrinter", {3s, 3s, 3s, 1s}, 0, 500, 1, 0, "Non c'è una stampante predefinita. Sceglierne una "
                                                    "(lpstat -d mostra quella attuale) o indicarla nella variabile LPDEST o PRINTER."},
        {"SwallowsAnswer", {3s, 1s, 3s, 1s}, 1000, 1800, 2, 1, "Il server di stampa non ha risposto in tempo."},
        {"WrongJob", {3s, 3s, 3s, 1s}, 0, 500, 2, 1, "Il server di stampa non ha confermato la stampa."},
        {"Accepts", {3s, 3s, 3s, 1s}, 0, 2000, 1, 0, ""},
        // clang-format on
    };
    MemoryForm form;
    form.setText("s58", "28,44"); // the table's far corner
    for (const auto &r : rows) {
        SCOPED_TRACE(r.mode);
        FakePrintServer server(r.mode, 10s);
        CupsPrinter printer(r.limits);
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(printTable(form, printer), *r.reason ? PrintOutcome::Failed : PrintOutcome::Sent);
        EXPECT_TRUE(clock.elapsed() >= r.fromMs && clock.elapsed() <= r.toMs) << clock.elapsed();
        EXPECT_EQ(std::tuple(server.told("connection"), server.told("operation 0x0008"),
                             server.told("password")),
                  std::tuple(r.clients, r.cancels, 0));
        EXPECT_EQ(QString::fromStdString(printer.reason()),
                  q(r.reason).replace(q("SERVER"), QString::fromLatin1(server.address())));
        if (*r.reason)
            continue;
        // The page that came: one A4 sheet with its title, in one face
        // carried inside the file (it looks the same on any printer), its
        // 9-point words where the page puts them (the corner at 185, 180 mm:
        // the page's test), moved inside the printer's margins.
        QFile page(server.document());
        const QByteArray bytes = page.open(QIODevice::ReadOnly) ? page.readAll() : QByteArray();
        EXPECT_EQ(bytes.count("/FontFile2"), 1);
        EXPECT_EQ(bytes.count("/BaseFont /LiberationSans\n"), bytes.count("/BaseFont"));
        const PdfPages pdf = readPdf(server.document());
        EXPECT_EQ(
            std::tuple(pdf.count, std::lround(pdf.widthMm), std::lround(pdf.heightMm), pdf.title),
            std::tuple(1, 210L, 297L, q("Solvara - altezza del Sole")));
        const PdfWord corner = pdf.find(q("28,44")).value_or(PdfWord{});
        EXPECT_NEAR(corner.leftMm, 4.23 + 185, 0.3);
        EXPECT_NEAR(corner.topMm, 6.35 + 180, 0.3);
        // A 9-point font gives word boxes a little taller than 9 points.
        EXPECT_TRUE(corner.heightPt > 9 && corner.heightPt < 9 * 1.3) << corner.heightPt;
    }
    // Addressed twice, it lets go of the first connection and all it held.
    FakePrintServer accepts("Accepts", 10s);
    CupsPrinter twice;
    EXPECT_TRUE(twice.useDefaultPrinter() && twice.useDefaultPrinter());
    EXPECT_TRUE(QTest::qWaitFor([&] { return accepts.told("closed") == 1; }, 1000));
}

// The texts go to the print helper whole, whatever bytes they hold; a request
// cut short anywhere (a window killed while writing it) or malformed prints
// nothing, and so does a frame that announces other than a length the window
// writes.
TEST(PageRequest, CarriesEveryTextWholeAndRefusesAnyPart)
{
    MemoryForm window, helper;
    window.setText("Lat", "45 N\n7");
    window.setText("s58", "");
    window.setText("dc5a", "-23,44 12\n");
    const std::string request = pageRequest(window);
    ASSERT_TRUE(readPageRequest(request, helper));
    EXPECT_EQ(pageRequest(helper), request);
    EXPECT_EQ(helper.text("Lat") + "|" + helper.text("s58") + "|" + helper.text("dc5a"),
              "45 N\n7||-23,44 12\n");
    // Each part a string of its own: nothing of the rest lies past its end.
    for (std::size_t cut = 0; cut < request.size(); ++cut)
        EXPECT_FALSE(readPageRequest(request.substr(0, cut), helper)) << cut;
    const std::string others = request.substr(request.find("dcl1a"));
    for (const std::string &malformed : {
             request + request, // each box once
             "Label1 1\nx\n" + request, // not a box the page reads
             "Lat 18446744073709551615\n" + others, // a length that wraps round
             "Lat 6\n45 N\n7|" + others, // a text not ended by a line feed
             "Lat 06\n45 N\n7\n" + others, // a length with a leading zero
         })
        EXPECT_FALSE(readPageRequest(malformed, helper)) << malformed.substr(0, 30);

    for (const std::string &line :
         std::vector<std::string>{"", "7x", " 7", "-7", "07", std::to_string(kRequestLimit + 1)})
        EXPECT_EQ(requestLength(line), std::nullopt) << line;
    EXPECT_EQ(requestLength(std::to_string(kRequestLimit)), kRequestLimit);
}

} // namespace
