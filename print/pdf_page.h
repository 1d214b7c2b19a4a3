#pragma once

#include "altitude_page.h"

#include <QByteArray>
#include <QPointF>
#include <QString>

#include <vector>

namespace solvara {

// A text placed on the page: the top-left corner of its first character at
// positionMm from the top-left corner of the printable area.
struct PlacedText {
    QString text;
    QPointF positionMm;
    double points;
    bool bold;
};

// The altitude page's texts at one font size, regular weight.
std::vector<PlacedText> placedTexts(const std::vector<PageText> &page, double points);

// Draws one A4 portrait page as a PDF document. printableOriginMm is where the
// printer's printable area starts on the sheet (its left and top minimum
// margins). Texts are neither wrapped nor clipped. Needs a QGuiApplication.
// Returned: the PDF, or an empty array when it could not be drawn.
QByteArray renderPdfPage(const std::vector<PlacedText> &texts, QPointF printableOriginMm,
                         const QString &title);

} // namespace solvara
