#include "cups_printer.h"

#include <cups/cups.h>

#include <algorithm>
#include <string>

namespace solvara {

namespace {

constexpr const char *kJobTitle = "Solvara - altezza del Sole";

constexpr const char *kNoDefaultPrinter =
    "Non c'è una stampante predefinita. Sceglierne una (lpstat -d mostra quella attuale) o "
    "indicarla nella variabile LPDEST o PRINTER.";
constexpr const char *kUnconfirmed = "Il server di stampa non ha confermato la stampa.";

// How often a silent wait on the server looks at the clock, in seconds.
constexpr double kWaitStepSeconds = 0.1;

using Clock = std::chrono::steady_clock;

// The connection's timeout callback: keeps waiting until the wait's time is
// up, then gives up.
int keepWaiting(http_t *, void *giveUpAt)
{
    return Clock::now() < *static_cast<const Clock::time_point *>(giveUpAt) ? 1 : 0;
}

// Asked for a password, the program has none to give: the request fails at
// once instead of prompting on a terminal.
const char *noPassword(const char *, http_t *, const char *, const char *, void *)
{
    return nullptr;
}

// Only the success class of IPP status codes, 0x0000 to 0x00ff, counts.
bool successful(ipp_status_t status) { return status >= IPP_STATUS_OK && int(status) < 0x0100; }

// The server as libcups reaches it: "host:port", or the path of its local
// socket.
std::string serverName()
{
    std::string host = cupsServer();
    if (host.starts_with('/'))
        return host;
    const bool ipv6 = host.find(':') != std::string::npos;
    return (ipv6 ? "[" + host + "]" : host) + ':' + std::to_string(ippPort());
}

// The server's refusal of the last request, in its own words.
std::string refusal()
{
    const char *words = cupsLastErrorString();
    return std::string("Il server di stampa ha rifiutato la stampa: «")
        + (words ? words : ippErrorString(cupsLastError())) + "».";
}

struct HttpClose {
    void operator()(http_t *http) const { httpClose(http); }
};
struct IppDelete {
    void operator()(ipp_t *message) const { ippDelete(message); }
};
using Connection = std::unique_ptr<http_t, HttpClose>;
using IppMessage = std::unique_ptr<ipp_t, IppDelete>;

// A connection to the default server (a "host:port" in CUPS_SERVER sets the
// port too) whose every wait gives up at *giveUpAt, which the caller may move
// on; empty once that time has passed or when it cannot be opened.
Connection connectToServer(Clock::time_point *giveUpAt, std::chrono::milliseconds connectLimit)
{
    using std::chrono::milliseconds;
    const auto left = std::chrono::duration_cast<milliseconds>(*giveUpAt - Clock::now());
    if (left.count() <= 0)
        return nullptr;
    cupsSetPasswordCB2(noPassword, nullptr);
    cupsSetServer(nullptr); // read afresh, not what an earlier print found
    Connection http(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                 int(std::min(left, connectLimit).count()), nullptr));
    if (http)
        httpSetTimeout(http.get(), kWaitStepSeconds, keepWaiting, giveUpAt);
    return http;
}

// The options of the job, freed with it.
class JobOptions {
public:
    JobOptions() = default;
    ~JobOptions() { cupsFreeOptions(count_, options_); }
    JobOptions(const JobOptions &) = delete;
    JobOptions &operator=(const JobOptions &) = delete;

    void add(const char *name, const char *value)
    {
        count_ = cupsAddOption(name, value, count_, &options_);
    }
    int count() const { return count_; }
    cups_option_t *options() const { return options_; }

private:
    int count_ = 0;
    cups_option_t *options_ = nullptr;
};

} // namespace

struct CupsPrinter::Server {
    struct DestFree {
        void operator()(cups_dest_t *dest) const { cupsFreeDests(1, dest); }
    };
    struct InfoFree {
        void operator()(cups_dinfo_t *info) const { cupsFreeDestInfo(info); }
    };

    Connection http;
    std::unique_ptr<cups_dest_t, DestFree> dest;
    std::unique_ptr<cups_dinfo_t, InfoFree> info;
};

CupsPrinter::CupsPrinter(PrintServerLimits limits, JobEvents events)
    : limits_(limits)
    , events_(std::move(events))
{}

CupsPrinter::~CupsPrinter() = default;

bool CupsPrinter::connect(Clock::time_point giveUpAt)
{
    waitUntil_ = giveUpAt;
    server_ = std::make_unique<Server>(); // what an earlier call found is freed
    server_->http = connectToServer(&waitUntil_, limits_.connect);
    return server_->http != nullptr;
}

void CupsPrinter::nextWait()
{
    waitUntil_ = std::min(Clock::now() + limits_.exchange, handOverEnds_);
}

int CupsPrinter::keepWaitingForJob(http_t *, void *printer)
{
    auto &self = *static_cast<CupsPrinter *>(printer);
    const auto now = Clock::now();
    if (now >= self.overdueAt_ && !self.overdueTold_) {
        self.overdueTold_ = true;
        self.fail("Il server di stampa non ha risposto in tempo.");
        if (self.events_.overdue)
            self.events_.overdue(self.reason_);
    }
    return now < self.waitUntil_ ? 1 : 0;
}

bool CupsPrinter::fail(std::string why)
{
    if (reason_.empty())
        reason_ = std::move(why);
    return false;
}

std::string CupsPrinter::exchangeFailure(std::string otherwise) const
{
    if (Clock::now() >= waitUntil_)
        return "Il server di stampa non ha risposto in tempo.";
    http_t *http = server_->http.get();
    const http_status_t status = httpGetStatus(http);
    if (status == HTTP_STATUS_UNAUTHORIZED || status == HTTP_STATUS_CUPS_AUTHORIZATION_CANCELED)
        return "Il server di stampa chiede una password, ma Solvara non ne usa.";
    if (httpError(http) != 0)
        return "La comunicazione con il server di stampa (" + serverName() + ") si è interrotta.";
    return otherwise;
}

bool CupsPrinter::useDefaultPrinter()
{
    reason_.clear();
    handOverEnds_ = Clock::now() + limits_.handOver;
    if (!connect(handOverEnds_))
        return fail("Il server di stampa (" + serverName() + ") non risponde.");
    // Honours LPDEST and PRINTER, then the user's and the server's default.
    // libcups tells every failure here as no default destination.
    nextWait();
    server_->dest.reset(cupsGetNamedDest(server_->http.get(), nullptr, nullptr));
    if (!server_->dest)
        return fail(exchangeFailure(kNoDefaultPrinter));
    nextWait();
    server_->info.reset(cupsCopyDestInfo(server_->http.get(), server_->dest.get()));
    return server_->info != nullptr || fail(exchangeFailure(refusal()));
}

bool CupsPrinter::ready() const { return server_ && server_->dest && server_->info; }

bool CupsPrinter::setUnitMillimetres()
{
    return true; // every position this printer takes is in millimetres
}

bool CupsPrinter::setPaperA4()
{
    if (!ready())
        return false;
    // Looks the size up in what the server already sent: no new request.
    cups_size_t a4{};
    if (!cupsGetDestMediaByName(server_->http.get(), server_->dest.get(), server_->info.get(),
                                CUPS_MEDIA_A4, CUPS_MEDIA_FLAGS_DEFAULT, &a4))
        return fail("La stampante «" + std::string(server_->dest->name)
                    + "» non stampa su fogli A4.");
    // The printable area starts inside the printer's minimum margins, given
    // in hundredths of a millimetre.
    printableOriginMm_ = QPointF(a4.left / 100.0, a4.top / 100.0);
    return true;
}

bool CupsPrinter::setPortrait()
{
    return true; // the page is always drawn upright on A4
}

bool CupsPrinter::setCopies(int copies)
{
    if (copies < 1)
        return false;
    copies_ = copies;
    return true;
}

bool CupsPrinter::setFontSize(double points)
{
    if (!(points > 0))
        return false;
    points_ = points;
    return true;
}

bool CupsPrinter::setBold(bool bold)
{
    bold_ = bold;
    return true;
}

bool CupsPrinter::setPosition(double yMm, double xMm)
{
    positionMm_ = QPointF(xMm, yMm);
    return true;
}

bool CupsPrinter::printText(std::string_view text)
{
    if (!ready())
        return false;
    texts_.push_back(
        {QString::fromUtf8(text.data(), qsizetype(text.size())), positionMm_, points_, bold_});
    return true;
}

bool CupsPrinter::endDocument()
{
    if (!ready() || texts_.empty())
        return false;
    const QByteArray pdf = renderPdfPage(texts_, printableOriginMm_, QString::fromUtf8(kJobTitle));
    if (pdf.isEmpty())
        return fail("La pagina da stampare non si è potuta preparare.");
    return submit(pdf);
}

bool CupsPrinter::submit(const QByteArray &pdf)
{
    http_t *http = server_->http.get();
    cups_dest_t *dest = server_->dest.get();
    cups_dinfo_t *info = server_->info.get();
    const std::string copies = std::to_string(copies_);
    JobOptions options;
    options.add("copies", copies.c_str());
    options.add("media", CUPS_MEDIA_A4);
    options.add("orientation-requested", "3"); // portrait
    options.add("print-scaling", "none");

    if (events_.asking)
        events_.asking();
    // Once the exchange's time is up the print has failed; a job the server
    // creates after that is still this print's, so its answer is awaited on.
    nextWait();
    overdueAt_ = waitUntil_;
    overdueTold_ = false;
    waitUntil_ = std::max(waitUntil_, limits_.lateJobUntil);
    httpSetTimeout(http, kWaitStepSeconds, keepWaitingForJob, this);
    const ipp_status_t created =
        cupsCreateDestJob(http, dest, info, &jobId_, kJobTitle, options.count(), options.options());
    httpSetTimeout(http, kWaitStepSeconds, keepWaiting, &waitUntil_);
    if (overdueTold_)
        return false; // a job created this late is withdrawn with the failed document
    if (!successful(created) || jobId_ <= 0)
        return fail(exchangeFailure(successful(created) ? kUnconfirmed : refusal()));
    if (events_.created)
        events_.created(jobId_);

    nextWait();
    if (cupsStartDestDocument(http, dest, info, jobId_, kJobTitle, CUPS_FORMAT_PDF, 0, nullptr, 1)
        != HTTP_STATUS_CONTINUE)
        return fail(exchangeFailure(refusal()));
    const bool written =
        cupsWriteRequestData(http, pdf.constData(), size_t(pdf.size())) == HTTP_STATUS_CONTINUE;
    // The answer is read even after a failed write, to free the connection.
    // Only an answer that arrived, in time, with a success for this very job
    // means the server holds the page: libcups's last status would still
    // tell of the job's creation when no answer came.
    const std::string resource = std::string("/printers/") + dest->name;
    const IppMessage answer(cupsGetResponse(http, resource.c_str()));
    ipp_attribute_t *job = ippFindAttribute(answer.get(), "job-id", IPP_TAG_INTEGER);
    if (answer && !successful(ippGetStatusCode(answer.get())))
        return fail(refusal()); // libcups keeps the answer's words
    if (!written || !answer || !job || ippGetInteger(job, 0) != jobId_)
        return fail(exchangeFailure(kUnconfirmed));
    if (events_.confirmed)
        events_.confirmed();
    return true;
}

void CupsPrinter::cancelDocument()
{
    texts_.clear();
    if (jobId_ > 0) {
        // The old connection may be stuck in the exchange that failed.
        server_->http.reset();
        cancelCupsJob(jobId_, limits_.cancel); // a cancel that fails leaves nothing more to do
    }
    jobId_ = 0;
}

bool cancelCupsJob(int jobId, std::chrono::milliseconds limit)
{
    Clock::time_point giveUpAt = Clock::now() + limit;
    const Connection http = connectToServer(&giveUpAt, limit);
    if (!http)
        return false;
    // The job by its own address, as the server's cancel command names it.
    ipp_t *request = ippNewRequest(IPP_OP_CANCEL_JOB); // freed by cupsDoRequest
    const std::string uri = "ipp://localhost/jobs/" + std::to_string(jobId);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    const IppMessage answer(cupsDoRequest(http.get(), request, "/jobs/"));
    return answer && successful(ippGetStatusCode(answer.get()));
}

} // namespace solvara
