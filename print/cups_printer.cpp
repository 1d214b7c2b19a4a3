#include "cups_printer.h"

#include <cups/cups.h>

#include <algorithm>
#include <string>

namespace solvara {

namespace {

constexpr const char *kJobTitle = "Solvara - altezza del Sole";

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

// A connection to the default server (a "host:port" in CUPS_SERVER sets the
// port too) whose every wait gives up at *giveUpAt, which the caller may move
// on; nullptr once that time has passed or when it cannot be opened.
http_t *connectToServer(Clock::time_point *giveUpAt, std::chrono::milliseconds connectLimit)
{
    using std::chrono::milliseconds;
    const auto left = std::chrono::duration_cast<milliseconds>(*giveUpAt - Clock::now());
    if (left.count() <= 0)
        return nullptr;
    cupsSetPasswordCB2(noPassword, nullptr);
    cupsSetServer(nullptr); // read afresh, not what an earlier print found
    http_t *http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                int(std::min(left, connectLimit).count()), nullptr);
    if (http)
        httpSetTimeout(http, kWaitStepSeconds, keepWaiting, giveUpAt);
    return http;
}

} // namespace

CupsPrinter::CupsPrinter(PrintServerLimits limits, JobCreated jobCreated)
    : limits_(limits)
    , jobCreated_(std::move(jobCreated))
{}

CupsPrinter::~CupsPrinter()
{
    if (http_)
        httpClose(http_);
    if (info_)
        cupsFreeDestInfo(info_);
    if (dest_)
        cupsFreeDests(1, dest_);
}

bool CupsPrinter::connect(Clock::time_point giveUpAt)
{
    waitUntil_ = giveUpAt;
    http_ = connectToServer(&waitUntil_, limits_.connect);
    return http_ != nullptr;
}

void CupsPrinter::nextWait()
{
    waitUntil_ = std::min(Clock::now() + limits_.exchange, handOverEnds_);
}

bool CupsPrinter::useDefaultPrinter()
{
    handOverEnds_ = Clock::now() + limits_.handOver;
    if (!connect(handOverEnds_))
        return false;
    // Honours LPDEST and PRINTER, then the user's and the server's default.
    nextWait();
    dest_ = cupsGetNamedDest(http_, nullptr, nullptr);
    if (!dest_)
        return false;
    nextWait();
    info_ = cupsCopyDestInfo(http_, dest_);
    return info_ != nullptr;
}

bool CupsPrinter::setUnitMillimetres()
{
    return true; // every position this printer takes is in millimetres
}

bool CupsPrinter::setPaperA4()
{
    if (!dest_ || !info_)
        return false;
    // Looks the size up in what the server already sent: no new request.
    cups_size_t a4{};
    if (!cupsGetDestMediaByName(http_, dest_, info_, CUPS_MEDIA_A4, CUPS_MEDIA_FLAGS_DEFAULT, &a4))
        return false;
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
    if (!dest_)
        return false;
    texts_.push_back(
        {QString::fromUtf8(text.data(), qsizetype(text.size())), positionMm_, points_, bold_});
    return true;
}

bool CupsPrinter::endDocument()
{
    if (!dest_ || !info_ || texts_.empty())
        return false;
    const QByteArray pdf = renderPdfPage(texts_, printableOriginMm_, QString::fromUtf8(kJobTitle));
    return !pdf.isEmpty() && submit(pdf);
}

bool CupsPrinter::submit(const QByteArray &pdf)
{
    const std::string copies = std::to_string(copies_);
    cups_option_t *options = nullptr;
    int count = 0;
    count = cupsAddOption("copies", copies.c_str(), count, &options);
    count = cupsAddOption("media", CUPS_MEDIA_A4, count, &options);
    count = cupsAddOption("orientation-requested", "3", count, &options); // portrait
    count = cupsAddOption("print-scaling", "none", count, &options);

    nextWait();
    const ipp_status_t created =
        cupsCreateDestJob(http_, dest_, info_, &jobId_, kJobTitle, count, options);
    cupsFreeOptions(count, options);
    if (!successful(created) || jobId_ <= 0)
        return false;
    if (jobCreated_)
        jobCreated_(jobId_);

    nextWait();
    if (cupsStartDestDocument(http_, dest_, info_, jobId_, kJobTitle, CUPS_FORMAT_PDF, 0, nullptr,
                              1)
        != HTTP_STATUS_CONTINUE)
        return false;
    const bool written =
        cupsWriteRequestData(http_, pdf.constData(), size_t(pdf.size())) == HTTP_STATUS_CONTINUE;
    // The answer is read even after a failed write, to free the connection.
    // Only an answer that arrived, in time, with a success for this very job
    // means the server holds the page: libcups's last status would still
    // tell of the job's creation when no answer came.
    const std::string resource = std::string("/printers/") + dest_->name;
    ipp_t *answer = cupsGetResponse(http_, resource.c_str());
    ipp_attribute_t *job = ippFindAttribute(answer, "job-id", IPP_TAG_INTEGER);
    const bool accepted =
        answer && successful(ippGetStatusCode(answer)) && job && ippGetInteger(job, 0) == jobId_;
    ippDelete(answer);
    return written && accepted;
}

void CupsPrinter::cancelDocument()
{
    texts_.clear();
    if (jobId_ > 0) {
        // The old connection may be stuck in the exchange that failed.
        httpClose(http_);
        http_ = nullptr;
        cancelCupsJob(jobId_, limits_.cancel); // a cancel that fails leaves nothing more to do
    }
    jobId_ = 0;
}

bool cancelCupsJob(int jobId, std::chrono::milliseconds limit)
{
    Clock::time_point giveUpAt = Clock::now() + limit;
    http_t *http = connectToServer(&giveUpAt, limit);
    if (!http)
        return false;
    // The job by its own address, as the server's cancel command names it.
    ipp_t *request = ippNewRequest(IPP_OP_CANCEL_JOB);
    const std::string uri = "ipp://localhost/jobs/" + std::to_string(jobId);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    ipp_t *answer = cupsDoRequest(http, request, "/jobs/");
    const bool cancelled = answer && successful(ippGetStatusCode(answer));
    ippDelete(answer);
    httpClose(http);
    return cancelled;
}

} // namespace solvara
