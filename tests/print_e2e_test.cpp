// Presses "Stampa" on the real window with a real CUPS server whose default
// printer is a PDF queue, and reads the page that came out.
#include "pdf_words.h"
#include "window_helpers.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QTest>

#include <cmath>
#include <tuple>

namespace {

TEST(PrintEndToEnd, StampaPrintsTheTableOnTheDefaultPrinter)
{
    const QString state = q(SOLVARA_CUPS_STATE);
    QFile queueFile(state + "/queue");
    if (!queueFile.open(QIODevice::ReadOnly)) {
        if (qEnvironmentVariable("CI") == "true")
            FAIL() << "no test printer: the cups_printer fixture did not run";
        GTEST_SKIP() << "no test printer (run through ctest)";
    }
    const QString queue = QString::fromUtf8(queueFile.readAll()).trimmed();
    qunsetenv("LPDEST"); // only the server's default printer counts here
    qunsetenv("PRINTER");
    const QDir out(state + "/pdf");
    const auto pdfs = [&] { return out.entryList({q("*.pdf")}, QDir::Files, QDir::Time); };
    const int before = pdfs().size();

    PrintingWindow window; // the page as users print it
    for (const char *button : {"Command2", "Calcola"})
        QTest::mouseClick(window.form.control(button), Qt::LeftButton);
    const qint64 ms = window.printAndTime("CUPS");
    EXPECT_TRUE(ms >= 0 && ms <= 5000) << ms;
    ASSERT_EQ(window.catcher.seen(), std::vector{q("1 Solvara: Stampa inviata")});
    const auto queued = [&] {
        QProcess lpstat;
        lpstat.start(q("lpstat"), {q("-o"), queue});
        return lpstat.waitForFinished() && !lpstat.readAllStandardOutput().trimmed().isEmpty();
    };
    for (int wait = 0; wait < 300 && queued(); ++wait) // the page is out: a minute at most
        QTest::qWait(200);
    ASSERT_EQ(pdfs().size(), before + 1);
    const PdfPages page = readPdf(out.filePath(pdfs().front()));

    ASSERT_EQ(std::tuple(page.count, std::lround(page.widthMm), std::lround(page.heightMm)),
              std::tuple(1, 210L, 297L));
    // The queue redraws the page through Ghostscript, whose embedded fonts give
    // pdftotext a slightly different ascent: the title is placed to 0.8 mm,
    // the table's far corner relative to it to 0.3 mm (places in detail are
    // the fast print server test's).
    const auto title = page.find(q("ALTEZZA")), corner = page.find(q("28,44"));
    ASSERT_TRUE(title && corner);
    EXPECT_NEAR(title->leftMm, 74, 0.3);
    EXPECT_NEAR(title->topMm, 10, 0.8);
    EXPECT_NEAR(corner->leftMm, 185, 0.3);
    EXPECT_NEAR(corner->topMm - title->topMm, 180 - 10, 0.3);
}

} // namespace
