#include "altitude_page.h"
#include "memory_form.h"
#include "pdf_page.h"
#include "pdf_words.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace solvara;

std::vector<PlacedText> placed(const Form &form)
{
    std::vector<PlacedText> texts;
    for (const PageText &t : altitudePage(form))
        texts.push_back({QString::fromStdString(t.text), QPointF(t.xMm, t.yMm), 9.0, false});
    return texts;
}

constexpr double kToleranceMm = 0.3;

// Positions are from the printable area's corner, which lies inside the
// printer's minimum margins; one row per origin.
class PdfPageTest : public testing::TestWithParam<QPointF> {};

TEST_P(PdfPageTest, TextsStandWhereThePageSays)
{
    const QPointF origin = GetParam();
    MemoryForm form;
    form.setText("dcl1a", "23,44");
    form.setText("x8", "75,32");
    form.setText("s58", "28,44");
    const PdfPages pdf = readPdfBytes(renderPdfPage(placed(form), origin, "Solvara"));

    ASSERT_EQ(pdf.count, 1);
    EXPECT_NEAR(pdf.widthMm, 210, 0.5);
    EXPECT_NEAR(pdf.heightMm, 297, 0.5);

    const struct {
        const char *word;
        double x, y;
    } rows[] = {
        {"ALTEZZA", 74, 10}, {"LAT", 15, 20}, {"DCL", 25, 40}, {"5", 47, 40},
        {"12", 187, 40},     {"23,44", 25, 50}, {"75,32", 185, 50}, {"28,44", 185, 180},
    };
    for (const auto &r : rows) {
        const auto word = pdf.find(QString::fromUtf8(r.word));
        ASSERT_TRUE(word.has_value()) << r.word;
        EXPECT_NEAR(word->leftMm, origin.x() + r.x, kToleranceMm) << r.word;
        EXPECT_NEAR(word->topMm, origin.y() + r.y, kToleranceMm) << r.word;
        // 9-point text: a word box a little taller than 9 points.
        EXPECT_GT(word->heightPt, 9.0) << r.word;
        EXPECT_LT(word->heightPt, 9.0 * 1.3) << r.word;
    }
    ASSERT_TRUE(pdf.find("Progetto:____________________________________").has_value());
}

INSTANTIATE_TEST_SUITE_P(Origins, PdfPageTest,
                         testing::Values(QPointF(0, 0), QPointF(6.35, 4.23)),
                         [](const auto &info) {
                             return info.param.isNull() ? "SheetCorner" : "InsideMargins";
                         });

} // namespace
