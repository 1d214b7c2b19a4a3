#include "pdf_words.h"

#include <QProcess>
#include <QRegularExpression>

PdfPages readPdf(const QString &path)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"),
                    {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(30000) || pdftotext.exitCode() != 0)
        return {};
    const QString html = QString::fromUtf8(pdftotext.readAllStandardOutput());
    constexpr double mm = 25.4 / 72.0; // per point

    PdfPages pages;
    static const QRegularExpression title(QString::fromLatin1("<title>([^<]*)</title>"));
    pages.title = title.match(html).captured(1);
    static const QRegularExpression page(
        QString::fromLatin1(R"re(<page width="([\d.]+)" height="([\d.]+)">)re"));
    for (auto it = page.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (pages.count++ == 0)
            pages.widthMm = m.captured(1).toDouble() * mm,
            pages.heightMm = m.captured(2).toDouble() * mm;
    }
    static const QRegularExpression word(QString::fromLatin1(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="[\d.]+" yMax="([\d.]+)">([^<]*)</word>)re"));
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        pages.words.push_back({m.captured(4), m.captured(1).toDouble() * mm,
                               m.captured(2).toDouble() * mm,
                               m.captured(3).toDouble() - m.captured(2).toDouble()});
    }
    return pages;
}
