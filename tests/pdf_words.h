#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// The words of a PDF as poppler's pdftotext reads them, in millimetres from
// the top-left corner of their page.
struct PdfWord {
    QString text;
    double leftMm, topMm, heightPt;
};

struct PdfPages {
    int count = 0;
    double widthMm = 0, heightMm = 0; // of the first page
    std::vector<PdfWord> words;

    // The first word with this text, or nothing.
    std::optional<PdfWord> find(const QString &text) const;
};

// Runs pdftotext -bbox on a PDF file; an empty result when it fails.
PdfPages readPdf(const QString &path);
PdfPages readPdfBytes(const QByteArray &pdf);
