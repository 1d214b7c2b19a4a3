#pragma once

#include <QString>

#include <algorithm>
#include <optional>
#include <vector>

// What poppler's pdftotext -bbox reads from a PDF file: its pages and the
// words of all of them, in millimetres from the top-left corner of the page.
struct PdfWord {
    QString text;
    double leftMm, topMm, heightPt;
};

struct PdfPages {
    int count = 0;
    double widthMm = 0, heightMm = 0; // of the first page
    QString title; // the document's own
    std::vector<PdfWord> words;

    std::optional<PdfWord> find(const QString &text) const // the first such word
    {
        const auto word = std::ranges::find(words, text, &PdfWord::text);
        return word == words.end() ? std::nullopt : std::optional(*word);
    }
};

PdfPages readPdf(const QString &path); // empty when pdftotext fails
