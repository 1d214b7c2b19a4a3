// What a user waits for and pays when the program starts: whole processes,
// from starting the process to its window being mapped and to the first
// frame drawn into it (reported by the X DAMAGE extension), and its resident
// memory one second after mapping. The programs are started in turn, which
// one goes first rotating from run to run, and the medians and their ratios
// to the yardstick are printed. It measures and reports; it passes or fails
// nothing.
//
// Usage: startup_bench [--runs N] [--targets PAINT,MEMORY] NAME=PROGRAM
//        NAME=YARDSTICK [NAME=PROGRAM ...]
// The first program is the one measured, the second the yardstick; any more
// are shown beside them for comparison. DISPLAY names the X server (no window
// manager, so that a window is mapped at once); the targets apply to the
// first program's ratios.
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Program {
    std::string name;
    std::string path;
};

struct Sample {
    double mappedMs;
    double paintedMs;
    double residentMB;
    int libraries;
    double cpuMs; // user and system time, start to 1 s after mapping
};

struct Display {
    xcb_connection_t *connection;
    xcb_window_t root;
    uint8_t damageNotify; // the event code of DamageNotify on this server
};

std::optional<Display> openDisplay()
{
    int screenNumber = 0;
    xcb_connection_t *c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "startup_bench: no X display (DISPLAY=%s)\n",
                     std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "");
        return std::nullopt;
    }
    const xcb_query_extension_reply_t *damage = xcb_get_extension_data(c, &xcb_damage_id);
    if (!damage || !damage->present) {
        std::fprintf(stderr, "startup_bench: the X server has no DAMAGE extension\n");
        return std::nullopt;
    }
    std::free(xcb_damage_query_version_reply(
        c, xcb_damage_query_version(c, XCB_DAMAGE_MAJOR_VERSION, XCB_DAMAGE_MINOR_VERSION),
        nullptr));

    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    const xcb_window_t root = screens.data->root;
    // Every top-level window created or mapped on the screen is reported.
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);
    return Display{c, root, uint8_t(damage->first_event + XCB_DAMAGE_NOTIFY)};
}

void drainEvents(const Display &display)
{
    while (xcb_generic_event_t *event = xcb_poll_for_event(display.connection))
        std::free(event);
}

// Resident memory in MB and the number of shared libraries mapped.
std::pair<double, int> memoryOf(pid_t pid)
{
    double residentMB = 0;
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            residentMB = std::strtod(line.c_str() + 6, nullptr) / 1024.0;

    std::set<std::string> libraries;
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    for (std::string line; std::getline(maps, line);) {
        const auto slash = line.find('/');
        if (slash != std::string::npos && line.find(".so", slash) != std::string::npos)
            libraries.insert(line.substr(slash));
    }
    return {residentMB, int(libraries.size())};
}

std::optional<Sample> startOnce(const Display &display, const Program &program)
{
    drainEvents(display);
    std::string path = program.path;
    char *argv[] = {path.data(), nullptr};
    const auto start = Clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ) != 0) {
        std::fprintf(stderr, "startup_bench: cannot start %s\n", path.c_str());
        return std::nullopt;
    }

    xcb_connection_t *c = display.connection;
    std::set<xcb_window_t> watched;
    xcb_window_t window = XCB_WINDOW_NONE;
    double mappedMs = -1;
    double paintedMs = -1;
    const int fd = xcb_get_file_descriptor(c);
    while (paintedMs < 0 && msSince(start) < 10000) {
        pollfd wait{fd, POLLIN, 0};
        poll(&wait, 1, 100);
        while (xcb_generic_event_t *event = xcb_poll_for_event(c)) {
            const uint8_t type = event->response_type & 0x7f;
            if (type == XCB_CREATE_NOTIFY) {
                // Watched from its creation, so that no drawing is missed.
                const auto *created = reinterpret_cast<xcb_create_notify_event_t *>(event);
                if (!created->override_redirect) {
                    xcb_damage_create(c, xcb_generate_id(c), created->window,
                                      XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
                    xcb_flush(c);
                    watched.insert(created->window);
                }
            } else if (type == XCB_MAP_NOTIFY) {
                const auto *mapped = reinterpret_cast<xcb_map_notify_event_t *>(event);
                if (window == XCB_WINDOW_NONE && watched.count(mapped->window)) {
                    window = mapped->window;
                    mappedMs = msSince(start);
                }
            } else if (type == display.damageNotify) {
                const auto *damaged = reinterpret_cast<xcb_damage_notify_event_t *>(event);
                if (window != XCB_WINDOW_NONE && damaged->drawable == window)
                    paintedMs = msSince(start);
            }
            std::free(event);
        }
    }

    std::optional<Sample> sample;
    if (paintedMs >= 0) {
        const auto untilSettled =
            std::chrono::duration<double, std::milli>(1000.0 + mappedMs - msSince(start));
        std::this_thread::sleep_for(untilSettled);
        const auto [residentMB, libraries] = memoryOf(pid);
        sample = Sample{mappedMs, paintedMs, residentMB, libraries, 0};
    } else {
        std::fprintf(stderr, "startup_bench: %s showed no painted window within 10 s\n",
                     path.c_str());
    }
    kill(pid, SIGTERM);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (sample)
        sample->cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
            + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    return sample;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char **argv)
{
    int runs = 15;
    double paintTarget = 0;
    double memoryTarget = 0;
    std::vector<Program> programs;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--targets" && i + 1 < argc) {
            std::sscanf(argv[++i], "%lf,%lf", &paintTarget, &memoryTarget);
        } else if (const auto equals = arg.find('='); equals != std::string::npos) {
            programs.push_back({arg.substr(0, equals), arg.substr(equals + 1)});
        }
    }
    if (programs.size() < 2) {
        std::fprintf(stderr,
                     "usage: startup_bench [--runs N] [--targets PAINT,MEMORY] "
                     "NAME=PROGRAM NAME=YARDSTICK [NAME=PROGRAM ...]\n");
        return 2;
    }
    const auto display = openDisplay();
    if (!display)
        return 1;

    // One start each to fill the page cache, not counted.
    for (const Program &program : programs)
        startOnce(*display, program);
    const std::size_t n = programs.size();
    std::vector<std::vector<Sample>> samples(n);
    for (int run = 0; run < runs; ++run)
        for (std::size_t k = 0; k < n; ++k) {
            const std::size_t which = (k + std::size_t(run)) % n; // each goes first in turn
            if (auto sample = startOnce(*display, programs[which]))
                samples[which].push_back(*sample);
        }
    for (const auto &taken : samples)
        if (taken.empty())
            return 1;

    auto medianOf = [&](std::size_t which, double Sample::*field) {
        std::vector<double> values;
        for (const Sample &s : samples[which])
            values.push_back(s.*field);
        return median(values);
    };
    auto librariesOf = [&](std::size_t which) {
        std::vector<double> values;
        for (const Sample &s : samples[which])
            values.push_back(s.libraries);
        return median(values);
    };

    std::size_t fewest = samples[0].size();
    for (const auto &taken : samples)
        fewest = std::min(fewest, taken.size());
    std::printf("\nStart of the whole process under X, at least %zu starts each in rotation: the"
                " medians, then their ratios to the %s\n",
                fewest, programs[1].name.c_str());
    // Each program's name over its figures, then over its ratio.
    std::printf("%-40s", "");
    for (const Program &program : programs)
        std::printf(" %12s", program.name.substr(0, 12).c_str());
    for (std::size_t k = 0; k < n; ++k)
        if (k != 1)
            std::printf(" %12s", programs[k].name.substr(0, 12).c_str());
    std::printf(" %8s\n", "target");
    auto row = [&](const char *what, double Sample::*field, const char *unit, double target) {
        std::printf("%-40s", what);
        for (std::size_t k = 0; k < n; ++k)
            std::printf(" %9.1f %-2s", medianOf(k, field), unit);
        for (std::size_t k = 0; k < n; ++k)
            if (k != 1)
                std::printf(" %11.2fx", medianOf(k, field) / medianOf(1, field));
        char targetText[16] = "";
        if (target > 0)
            std::snprintf(targetText, sizeof targetText, "%.2fx", target);
        std::printf(" %8s\n", targetText);
    };
    row("process start to the window mapped", &Sample::mappedMs, "ms", 0);
    row("process start to the first painted frame", &Sample::paintedMs, "ms", paintTarget);
    row("resident memory 1 s after mapping", &Sample::residentMB, "MB", memoryTarget);
    // Less swayed than the waits above by other work on the machine.
    row("CPU time to 1 s after mapping", &Sample::cpuMs, "ms", 0);
    std::printf("%-40s", "shared libraries mapped");
    for (std::size_t k = 0; k < n; ++k)
        std::printf(" %12.0f", librariesOf(k));
    std::printf("\n");
    return 0;
}
