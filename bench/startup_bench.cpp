// What a user waits for and pays when the program starts: whole processes,
// from starting the process to its window being mapped and to the first
// frame drawn into it (reported by the X DAMAGE extension), and its resident
// memory one second after mapping. Two programs are started in turn, the
// first of each pair alternating, and the medians and their ratios are
// printed. It measures and reports; it passes or fails nothing.
//
// Usage: startup_bench [--runs N] NAME=PROGRAM NAME=PROGRAM
// The first program is the one measured, the second the yardstick. DISPLAY
// names the X server (no window manager, so that the window is mapped at
// once); targets for the ratios may follow as --targets PAINT,MEMORY.
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
        c, xcb_damage_query_version(c, XCB_DAMAGE_MAJOR_VERSION, XCB_DAMAGE_MINOR_VERSION), nullptr));

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
    if (programs.size() != 2) {
        std::fprintf(stderr, "usage: startup_bench [--runs N] [--targets PAINT,MEMORY] "
                             "NAME=PROGRAM NAME=YARDSTICK\n");
        return 2;
    }
    const auto display = openDisplay();
    if (!display)
        return 1;

    // One start each to fill the page cache, not counted.
    for (const Program &program : programs)
        startOnce(*display, program);
    std::vector<Sample> samples[2];
    for (int run = 0; run < runs; ++run)
        for (int k = 0; k < 2; ++k) {
            const int which = run % 2 ? 1 - k : k; // alternating which goes first
            if (auto sample = startOnce(*display, programs[which]))
                samples[which].push_back(*sample);
        }
    if (samples[0].empty() || samples[1].empty())
        return 1;

    auto medianOf = [&](int which, double Sample::*field) {
        std::vector<double> values;
        for (const Sample &s : samples[which])
            values.push_back(s.*field);
        return median(values);
    };
    auto librariesOf = [&](int which) {
        std::vector<double> values;
        for (const Sample &s : samples[which])
            values.push_back(s.libraries);
        return median(values);
    };

    std::printf("\nStart of the whole process under X, %zu and %zu alternating starts, medians\n",
                samples[0].size(), samples[1].size());
    std::printf("%-40s %12s %12s %8s %8s\n", "", programs[0].name.c_str(),
                programs[1].name.c_str(), "ratio", "target");
    auto row = [&](const char *what, double Sample::*field, const char *unit, double target) {
        const double a = medianOf(0, field);
        const double b = medianOf(1, field);
        char targetText[16] = "";
        if (target > 0)
            std::snprintf(targetText, sizeof targetText, "%.2fx", target);
        std::printf("%-40s %9.1f %-2s %9.1f %-2s %7.2fx %8s\n", what, a, unit, b, unit, a / b,
                    targetText);
    };
    row("process start to the window mapped", &Sample::mappedMs, "ms", 0);
    row("process start to the first painted frame", &Sample::paintedMs, "ms", paintTarget);
    row("resident memory 1 s after mapping", &Sample::residentMB, "MB", memoryTarget);
    // Less swayed than the waits above by other work on the machine.
    row("CPU time to 1 s after mapping", &Sample::cpuMs, "ms", 0);
    std::printf("%-40s %12.0f %12.0f\n", "shared libraries mapped", librariesOf(0), librariesOf(1));
    return 0;
}
