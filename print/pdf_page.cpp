#include "pdf_page.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace solvara {

namespace {

// The page names its face, so that the same table prints alike on every
// machine: Liberation Sans, which the package depends on (Arial's metrics).
// Where it is missing Qt falls back to the generic sans-serif.
QFont pageFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace

std::vector<PlacedText> placedTexts(const std::vector<PageText> &page, double points)
{
    std::vector<PlacedText> texts;
    texts.reserve(page.size());
    for (const PageText &t : page)
        texts.push_back({QString::fromStdString(t.text), QPointF(t.xMm, t.yMm), points, false});
    return texts;
}

QByteArray renderPdfPage(const std::vector<PlacedText> &texts, QPointF printableOriginMm,
                         const QString &title)
{
    QByteArray pdf;
    QBuffer buffer(&pdf);
    if (!buffer.open(QIODevice::WriteOnly))
        return {};

    QPdfWriter writer(&buffer);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Solvara"));
    // Positions are measured from the sheet's corner here; the printable
    // area's offset is added to each text below.
    if (!writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                          QMarginsF(), QPageLayout::Millimeter)))
        return {};

    QPainter painter;
    if (!painter.begin(&writer))
        return {};
    const double dotsPerMm = writer.resolution() / 25.4;
    for (const PlacedText &item : texts) {
        if (item.text.isEmpty())
            continue;
        QFont font = pageFont();
        font.setPointSizeF(item.points);
        font.setBold(item.bold);
        painter.setFont(font);
        // Qt draws at the baseline; the position names the text's top.
        const double ascent = QFontMetricsF(font, &writer).ascent();
        const QPointF topLeft = (printableOriginMm + item.positionMm) * dotsPerMm;
        painter.drawText(QPointF(topLeft.x(), topLeft.y() + ascent), item.text);
    }
    if (!painter.end())
        return {};
    buffer.close();
    return pdf;
}

} // namespace solvara
