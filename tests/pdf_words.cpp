#include "pdf_words.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryFile>

namespace {

constexpr double kMmPerPoint = 25.4 / 72.0;

} // namespace

std::optional<PdfWord> PdfPages::find(const QString &text) const
{
    for (const PdfWord &w : words)
        if (w.text == text)
            return w;
    return std::nullopt;
}

PdfPages readPdf(const QString &path)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(30000) || pdftotext.exitCode() != 0)
        return {};
    const QString html = QString::fromUtf8(pdftotext.readAllStandardOutput());

    PdfPages pages;
    static const QRegularExpression page(
        QString::fromLatin1(R"re(<page width="([\d.]+)" height="([\d.]+)">)re"));
    for (auto it = page.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (pages.count++ == 0) {
            pages.widthMm = m.captured(1).toDouble() * kMmPerPoint;
            pages.heightMm = m.captured(2).toDouble() * kMmPerPoint;
        }
    }
    static const QRegularExpression word(QString::fromLatin1(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        QString text = m.captured(5);
        text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        pages.words.push_back({text, m.captured(1).toDouble() * kMmPerPoint,
                               m.captured(2).toDouble() * kMmPerPoint,
                               m.captured(4).toDouble() - m.captured(2).toDouble()});
    }
    return pages;
}

PdfPages readPdfBytes(const QByteArray &pdf)
{
    QTemporaryFile file;
    if (!file.open() || file.write(pdf) != pdf.size())
        return {};
    file.flush();
    return readPdf(file.fileName());
}
