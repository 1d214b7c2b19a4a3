// solvara-print: hands the altitude page to the default CUPS printer on
// behalf of the window, which may kill it at any moment.
//
//   solvara-print             reads the page's texts (pageRequest) on its
//                             input and prints them; says on its output
//                             "job N created", then "done" or "failed"
//   solvara-print --cancel N  withdraws job N
//
// Whatever the print system does, it never runs longer than the window waits
// for it, and never outlives the window that started it (which sees to that
// when it starts it).
#include "cups_printer.h"
#include "memory_form.h"
#include "page_request.h"
#include "print_limits.h"
#include "print_table.h"

#include <QGuiApplication>

#include <charconv>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>

#include <unistd.h>

using namespace solvara;

namespace {

void say(const std::string &line)
{
    std::fputs((line + '\n').c_str(), stdout);
    std::fflush(stdout);
}

int cancel(std::string_view job)
{
    int jobId = 0;
    const auto [end, error] = std::from_chars(job.data(), job.data() + job.size(), jobId);
    if (error != std::errc() || end != job.data() + job.size() || jobId <= 0)
        return 2;
    return cancelCupsJob(jobId, kCancelLimit) ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    // Ends the helper when the time is up, in whatever wait libcups is.
    std::signal(SIGALRM, SIG_DFL);
    const bool cancelling = argc == 3 && std::string_view(argv[1]) == "--cancel";
    alarm(unsigned((cancelling ? kCancelLimit : kPrintLimit).count()));
    if (cancelling)
        return cancel(argv[2]);
    if (argc != 1) {
        std::fputs("usage: solvara-print [--cancel JOB]\n", stderr);
        return 2;
    }

    const std::string request{std::istreambuf_iterator<char>(std::cin), {}};
    MemoryForm form;
    if (!readPageRequest(request, form)) {
        say("failed");
        return 1;
    }
    // The page is drawn off screen: the helper never opens a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    CupsPrinter printer({}, [](int jobId) { say("job " + std::to_string(jobId) + " created"); });
    const bool sent = printTable(form, printer) == PrintOutcome::Sent;
    say(sent ? "done" : "failed");
    return sent ? 0 : 1;
}
