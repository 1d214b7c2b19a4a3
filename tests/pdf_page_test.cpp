#include "altitude_page.h"
#include "memory_form.h"
#include "pdf_page.h"
#include "pdf_words.h"

#include <gtest/gtest.h>

#include <QTemporaryFile>

namespace {

using namespace solvara;

// Positions count from the printable area's corner, which lies inside the
// printer's minimum margins: once at the sheet's corner, once inside.
TEST(PdfPage, TextsStandWhereThePageSaysAtNinePoints)
{
    MemoryForm form;
    form.setText("x8", "75,32");
    form.setText("s58", "28,44");
    const auto texts = placedTexts(altitudePage(form), 9.0);

    for (const QPointF origin : {QPointF(0, 0), QPointF(6.35, 4.23)}) {
        QTemporaryFile file;
        ASSERT_TRUE(file.open());
        const QByteArray bytes = renderPdfPage(texts, origin, QStringLiteral("Solvara"));
        file.write(bytes);
        file.flush();
        // One named face, carried inside the file: the page looks the same on
        // any printer or viewer.
        EXPECT_EQ(bytes.count("/FontFile2"), 1);
        EXPECT_EQ(bytes.count("/BaseFont /LiberationSans\n"), bytes.count("/BaseFont"));
        const PdfPages pdf = readPdf(file.fileName());

        ASSERT_EQ(pdf.count, 1);
        EXPECT_NEAR(pdf.widthMm, 210, 0.5);
        EXPECT_NEAR(pdf.heightMm, 297, 0.5);
        const struct {
            const char *word;
            double x, y;
        } rows[] = {{"ALTEZZA", 74, 10}, {"LAT", 15, 20},    {"DCL", 25, 40},
                    {"12", 187, 40},     {"75,32", 185, 50}, {"28,44", 185, 180}};
        for (const auto &r : rows) {
            const auto word = pdf.find(QString::fromUtf8(r.word));
            ASSERT_TRUE(word.has_value()) << r.word;
            EXPECT_NEAR(word->leftMm, origin.x() + r.x, 0.3) << r.word;
            EXPECT_NEAR(word->topMm, origin.y() + r.y, 0.3) << r.word;
            // A 9-point font gives word boxes a little taller than 9 points.
            EXPECT_GT(word->heightPt, 9.0);
            EXPECT_LT(word->heightPt, 9.0 * 1.3);
        }
    }
}

} // namespace
