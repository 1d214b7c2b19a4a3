#include "termination.h"

#include <QApplication>
#include <QSocketNotifier>

#include <csignal>

#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalled[2] = {-1, -1}; // written by the handler, read by the event loop

void noteSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalled[0], &byte, 1);
}

} // namespace

void endOnTerminationSignals()
{
    if (signalled[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalled) != 0)
        return;
    auto *notifier = new QSocketNotifier(signalled[1], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] {
        char byte = 0;
        [[maybe_unused]] const auto read = ::read(signalled[1], &byte, 1);
        QApplication::closeAllWindows();
        QCoreApplication::exit(0);
    });
    struct sigaction action = {};
    action.sa_handler = noteSignal;
    action.sa_flags = SA_RESETHAND | SA_RESTART; // the next one ends the program at once
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}
