#include "cups_printer.h"

#include <cups/cups.h>

#include <string>

namespace solvara {

namespace {

constexpr const char *kJobTitle = "Solvara - altezza del Sole";

} // namespace

CupsPrinter::CupsPrinter() = default;

CupsPrinter::~CupsPrinter()
{
    if (info_)
        cupsFreeDestInfo(info_);
    if (dest_)
        cupsFreeDests(1, dest_);
}

bool CupsPrinter::useDefaultPrinter()
{
    // Honours LPDEST and PRINTER, then the user's and the server's default.
    dest_ = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
    if (!dest_)
        return false;
    info_ = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest_);
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
    cups_size_t a4{};
    if (!cupsGetDestMediaByName(CUPS_HTTP_DEFAULT, dest_, info_, CUPS_MEDIA_A4,
                                CUPS_MEDIA_FLAGS_DEFAULT, &a4))
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
    texts_.push_back({QString::fromUtf8(text.data(), qsizetype(text.size())), positionMm_, points_,
                      bold_});
    return true;
}

bool CupsPrinter::endDocument()
{
    if (!dest_ || texts_.empty())
        return false;
    const QByteArray pdf =
        renderPdfPage(texts_, printableOriginMm_, QString::fromUtf8(kJobTitle));
    if (pdf.isEmpty())
        return false;

    const std::string copies = std::to_string(copies_);
    cups_option_t *options = nullptr;
    int count = 0;
    count = cupsAddOption("copies", copies.c_str(), count, &options);
    count = cupsAddOption("media", CUPS_MEDIA_A4, count, &options);
    count = cupsAddOption("orientation-requested", "3", count, &options); // portrait
    count = cupsAddOption("print-scaling", "none", count, &options);

    jobId_ = cupsCreateJob(CUPS_HTTP_DEFAULT, dest_->name, kJobTitle, count, options);
    bool sent = false;
    if (jobId_ > 0
        && cupsStartDocument(CUPS_HTTP_DEFAULT, dest_->name, jobId_, kJobTitle, CUPS_FORMAT_PDF, 1)
               == HTTP_STATUS_CONTINUE) {
        sent = cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.constData(), size_t(pdf.size()))
                   == HTTP_STATUS_CONTINUE;
        // The document must be finished even after a failed write, to read
        // the server's answer and free the connection.
        sent = cupsFinishDocument(CUPS_HTTP_DEFAULT, dest_->name) == IPP_STATUS_OK && sent;
    }
    cupsFreeOptions(count, options);
    return sent;
}

void CupsPrinter::cancelDocument()
{
    texts_.clear();
    if (dest_ && jobId_ > 0)
        cupsCancelJob2(CUPS_HTTP_DEFAULT, dest_->name, jobId_, 0);
    jobId_ = 0;
}

} // namespace solvara
