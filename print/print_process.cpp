#include "print_process.h"

#include "page_request.h"
#include "print_limits.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace solvara {

namespace {

// What the helper's end says when the program could not be run.
constexpr char kNotStarted[] = "not started\n";

// The message's sentence for what became of the helper.
QString helperReason(const QString &program, const char *what)
{
    return QStringLiteral("Il programma di stampa (%1) %2").arg(program, QString::fromUtf8(what));
}

// Why a print failed: what the helper told, or else what the window saw.
QString failure(const QString &told, const QString &seen)
{
    if (!told.isEmpty())
        return told;
    if (!seen.isEmpty())
        return seen;
    // The helper failed the print without a word on why.
    return QStringLiteral("La stampa non è riuscita per un errore imprevisto.");
}

// Starts program with one end of a new socket pair as its input and output,
// the window's standard error as its own and no other descriptor, in a
// session of its own (a Ctrl+C or a hang-up meant for the window does not
// reach it). The helper is a grandchild whose parent ends at once: init reaps
// it, and the window never waits for its end. Returned: the window's end, or
// -1 when no process could be made. A program that cannot be run ends at
// once instead, its end saying only kNotStarted.
int startHelper(const QByteArray &program)
{
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return -1;
    char *const argv[] = {const_cast<char *>(program.constData()), nullptr};
    const pid_t middle = ::fork();
    if (middle == 0) {
        // From here to exec, only calls that are safe in the child of a
        // process with threads.
        if (::_Fork() == 0) {
            ::setsid();
            sigset_t none;
            sigemptyset(&none);
            ::sigprocmask(SIG_SETMASK, &none, nullptr);
            // Above 2 first, so that dup2 clears close-on-exec on 0 and 1.
            const int end = ::fcntl(ends[1], F_DUPFD, 3);
            if (end >= 0 && ::dup2(end, 0) == 0 && ::dup2(end, 1) == 1) {
                ::closefrom(3);
                ::execv(argv[0], argv);
                [[maybe_unused]] const ssize_t said =
                    ::write(1, kNotStarted, sizeof kNotStarted - 1);
            }
        }
        ::_exit(127); // the middle process at once, the helper if it could not be run
    }
    ::close(ends[1]);
    if (middle < 0) {
        ::close(ends[0]);
        return -1;
    }
    // The middle process only forks: it ends at once.
    while (::waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {}
    return ends[0];
}

} // namespace

struct PrintProcess::Helper {
    struct Descriptor {
        int fd;
        explicit Descriptor(int owned)
            : fd(owned)
        {}
        ~Descriptor() { ::close(fd); }
        Descriptor(const Descriptor &) = delete;
        Descriptor &operator=(const Descriptor &) = delete;
    };

    explicit Helper(int fd)
        : end(fd)
        , readable(fd, QSocketNotifier::Read)
        , writable(fd, QSocketNotifier::Write)
    {}

    Descriptor end; // closed after the notifiers are gone
    QSocketNotifier readable;
    QSocketNotifier writable;
};

PrintProcess::PrintProcess(QString helper, QObject *parent)
    : QObject(parent)
    , program_(std::move(helper))
{
    clock_.setSingleShot(true);
    clock_.setTimerType(Qt::PreciseTimer); // a coarse one may come a second late
    connect(&clock_, &QTimer::timeout, this,
            [this] { finish(true, QString::fromStdString(printLimitReason())); });
}

PrintProcess::~PrintProcess() { finish(false); }

void PrintProcess::start(const std::string &request)
{
    clock_.start(kHelperLimit);
    const int end = startHelper(QFile::encodeName(program_));
    if (end < 0) {
        QMetaObject::invokeMethod(
            this, [this] { finish(true, helperReason(program_, "non è partito.")); },
            Qt::QueuedConnection);
        return;
    }
    helper_ = std::make_unique<Helper>(end);
    request_ = framedRequest(request);
    connect(&helper_->readable, &QSocketNotifier::activated, this, &PrintProcess::readHelper);
    connect(&helper_->writable, &QSocketNotifier::activated, this, &PrintProcess::writeRequest);
    writeRequest();
}

QString PrintProcess::installedHelper()
{
    const QString here = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    for (const QString &path : {here + QStringLiteral(SOLVARA_HELPER_FROM_BINDIR),
                                here + QLatin1String(kPrintHelperName)}) {
        const QFileInfo helper(path);
        if (helper.isFile() && helper.isExecutable())
            return helper.absoluteFilePath();
    }
    return {};
}

// Writes what the helper's input takes now, the rest when it takes more. A
// helper that stopped reading has its say through its output.
void PrintProcess::writeRequest()
{
    while (!request_.empty()) {
        const ssize_t sent =
            ::send(helper_->end.fd, request_.data(), request_.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        if (sent < 0)
            request_.clear();
        else
            request_.erase(0, std::size_t(sent));
    }
    helper_->writable.setEnabled(!request_.empty());
}

// Reads what the helper said so far. Its verdict ends the print, and so does
// its end, a line longer than kHelperLineLimit or more than
// kHelperOutputLimit in all (a failure; the helper then has no say on why).
void PrintProcess::readHelper()
{
    char buffer[512];
    while (!verdict_) {
        const ssize_t got = ::recv(helper_->end.fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        if (got <= 0)
            break;
        hear(std::string_view(buffer, std::size_t(got)));
    }
    finish(true, verdict_ ? QString() : helperReason(program_, "si è interrotto."));
}

void PrintProcess::hear(std::string_view bytes)
{
    heard_ += bytes.size();
    for (const char byte : bytes) {
        if (byte != '\n') {
            line_ += byte;
        } else {
            if (line_ == "done")
                verdict_ = PrintOutcome::Sent;
            else if (line_ == "failed")
                verdict_ = PrintOutcome::Failed;
            else if (line_.startsWith("reason "))
                reason_ = QString::fromUtf8(line_.sliced(7));
            else if (line_ + '\n' == kNotStarted)
                reason_ = helperReason(program_, "non è partito.");
            line_.clear();
        }
        if (verdict_ || std::size_t(line_.size()) > kHelperLineLimit)
            break;
    }
    if (std::size_t(line_.size()) > kHelperLineLimit || heard_ > kHelperOutputLimit) {
        verdict_ = PrintOutcome::Failed;
        reason_ = helperReason(program_, "ha dato una risposta non valida.");
    }
}

void PrintProcess::finish(bool tell, const QString &cause)
{
    if (ended_)
        return;
    ended_ = true;
    clock_.stop();
    helper_.reset(); // the helper's input ends: it withdraws a job left
    if (!tell)
        return;
    const PrintOutcome outcome = verdict_.value_or(PrintOutcome::Failed);
    emit finished(outcome, outcome == PrintOutcome::Sent ? QString() : failure(reason_, cause));
}

} // namespace solvara
