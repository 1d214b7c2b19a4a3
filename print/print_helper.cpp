// solvara-print: hands the altitude page to the default CUPS printer on
// behalf of the window that started it.
//
// It reads the page's texts on its input (framedRequest), says on its output
// "job N created" once the server holds a job, then "done" once the server
// confirmed the page for that job, or "failed" after it withdrew the job,
// after a line that tells why (reasonLine) when it knows. A server that
// answers the job's creation too late has failed the print: the helper says
// so at once, but waits on for that answer within its own time, to withdraw
// the job it tells of.
//
// The job is the helper's own to withdraw. The window keeps the helper's
// input open until it has the verdict; when the input ends before that (the
// window gave up, or ended in whatever way), when the helper's own time is up
// (kHelperLimit) or when it is told to end (as at a logout), the helper
// withdraws the job it created, giving up after kCancelLimit, and ends. An
// alarm ends it in any case once that time is up too, whatever it waits on.
// Its time up, it tells the window so, should the window still listen.
#include "cups_printer.h"
#include "memory_form.h"
#include "page_request.h"
#include "print_limits.h"
#include "print_table.h"

#include <QGuiApplication>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <limits>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

using namespace solvara;

namespace {

using Clock = std::chrono::steady_clock;

// Where the print is, as the printing thread and the window's watch see it.
enum class Stage {
    Preparing, // no job asked for yet
    Asking, // the server is asked to create a job
    Created, // the server holds the job
    Confirmed, // the server confirmed the page: the job is the server's to print
    Said, // the verdict is said: the window has it, or will not ask
    Abandoned, // the print failed or the window went away while a job was asked for
};

std::mutex stageLock;
Stage stage = Stage::Preparing;
int jobId = 0;

void say(const std::string &line)
{
    std::fputs((line + '\n').c_str(), stdout);
    std::fflush(stdout);
}

// Reads exactly size bytes of the input; false when it ends first, when the
// helper is told to end (told, a signalfd) or when its time is up.
bool readInput(char *into, std::size_t size, int told, Clock::time_point until)
{
    while (size > 0) {
        pollfd watched[] = {{0, POLLIN, 0}, {told, POLLIN, 0}};
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now());
        const int ready = left.count() > 0 ? ::poll(watched, 2, int(left.count())) : 0;
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0 || watched[1].revents != 0)
            return false;
        const ssize_t got = ::read(0, into, size);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        into += got;
        size -= std::size_t(got);
    }
    return true;
}

// The request as the window frames it; nullopt for one cut short or
// malformed.
std::optional<std::string> readRequest(int told, Clock::time_point until)
{
    std::string line;
    char byte = 0;
    while (line.size() <= std::numeric_limits<std::size_t>::digits10
           && readInput(&byte, 1, told, until) && byte != '\n')
        line += byte;
    const std::optional<std::size_t> length = requestLength(line);
    if (byte != '\n' || !length)
        return std::nullopt;
    std::string request(*length, '\0');
    if (!readInput(request.data(), request.size(), told, until))
        return std::nullopt;
    return request;
}

// Waits, in a thread of its own, for the window to go away (the input ends),
// for an end signal (told, a signalfd) or for the helper's time to run out
// (until); then the print is abandoned. A job created is withdrawn at once and
// the helper ends; while the server is asked for a job, its answer decides
// (see main); once the verdict is said, there is nothing left to do.
void watchWindow(int told, Clock::time_point until)
{
    pollfd watched[] = {{0, POLLIN, 0}, {told, POLLIN, 0}};
    bool timeUp = false;
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now());
        const int ready = left.count() > 0 ? ::poll(watched, 2, int(left.count())) : 0;
        if (ready < 0 && errno == EINTR)
            continue;
        timeUp = ready == 0;
        if (ready <= 0 || watched[1].revents != 0)
            break;
        char ignored[64]; // the window writes nothing after the request
        const ssize_t got = ::read(0, ignored, sizeof ignored);
        if (got == 0 || (got < 0 && errno != EINTR))
            break;
    }
    const std::lock_guard lock(stageLock);
    if (timeUp && (stage == Stage::Preparing || stage == Stage::Asking || stage == Stage::Created))
        say(reasonLine(printLimitReason()));
    switch (stage) {
    case Stage::Preparing: ::_exit(1);
    case Stage::Created: cancelCupsJob(jobId, kCancelLimit); ::_exit(1);
    case Stage::Asking: stage = Stage::Abandoned; return;
    case Stage::Confirmed: // the verdict, "done", follows at once
    case Stage::Said:
    case Stage::Abandoned: return;
    }
}

} // namespace

int main(int argc, char **argv)
{
    // The last resort, in whatever wait libcups is.
    std::signal(SIGALRM, SIG_DFL);
    ::alarm(unsigned(kHelperAlarm.count()));
    const Clock::time_point until = Clock::now() + kHelperLimit;
    // A window gone while the helper speaks is for the watch to see.
    std::signal(SIGPIPE, SIG_IGN);
    // The signals that end a process politely reach the watch alone: blocked
    // here, before any other thread starts, and read by the watch.
    sigset_t endSignals;
    sigemptyset(&endSignals);
    for (const int number : {SIGTERM, SIGINT, SIGHUP})
        sigaddset(&endSignals, number);
    ::pthread_sigmask(SIG_BLOCK, &endSignals, nullptr);
    const int told = ::signalfd(-1, &endSignals, SFD_CLOEXEC);
    if (argc != 1 || told < 0) {
        std::fputs("usage: solvara-print < framed request\n", stderr);
        return 2;
    }

    // Told to end or out of time while the request comes, it ends at once:
    // nothing is asked of the server yet.
    const std::optional<std::string> request = readRequest(told, until);
    MemoryForm form;
    if (!request || !readPageRequest(*request, form)) {
        say("failed");
        return 1;
    }
    std::thread(watchWindow, told, until).detach();

    // The page is drawn off screen: the helper never opens a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    CupsPrinter::JobEvents events;
    events.asking = [] {
        const std::lock_guard lock(stageLock);
        stage = Stage::Asking;
    };
    // The answer to the job's creation overdue: the window hears of the
    // failure now; the printer waits on for the answer, to withdraw a job
    // created this late.
    events.overdue = [](const std::string &why) {
        const std::lock_guard lock(stageLock);
        if (stage == Stage::Asking) {
            say(reasonLine(why));
            say("failed");
        }
        stage = Stage::Abandoned;
    };
    // A window that went away while the job was asked for leaves it to be
    // withdrawn here, at once.
    events.created = [](int created) {
        const std::lock_guard lock(stageLock);
        if (stage == Stage::Abandoned) {
            cancelCupsJob(created, kCancelLimit);
            ::_exit(1);
        }
        stage = Stage::Created;
        jobId = created;
        say("job " + std::to_string(created) + " created");
    };
    // From the moment the server's success for the page is known nothing
    // withdraws the job, whatever becomes of the window.
    events.confirmed = [] {
        const std::lock_guard lock(stageLock);
        stage = Stage::Confirmed;
    };
    PrintServerLimits limits;
    limits.lateJobUntil = until;
    CupsPrinter printer(limits, events);
    const bool sent = printTable(form, printer) == PrintOutcome::Sent;
    const std::lock_guard lock(stageLock);
    if (stage == Stage::Abandoned)
        ::_exit(1); // no job was created
    stage = Stage::Said;
    if (!sent && !printer.reason().empty())
        say(reasonLine(printer.reason()));
    say(sent ? "done" : "failed");
    return sent ? 0 : 1;
}
