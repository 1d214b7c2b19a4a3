// Presses "Stampa" on the real window with a real CUPS server whose default
// printer is a PDF queue, and reads the page that came out.
#include "fake_print_server.h"
#include "mainform.h"
#include "message_catcher.h"
#include "pdf_words.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <optional>

namespace {

QString q(const char *s) { return QString::fromUtf8(s); }

class PrintEndToEnd : public testing::Test {
protected:
    const QString state = q(SOLVARA_CUPS_STATE);
    QString queue;
    QDir out{state + "/pdf"};
    MainForm form;

    void SetUp() override
    {
        QFile queueFile(state + "/queue");
        if (!queueFile.open(QIODevice::ReadOnly)) {
            if (qEnvironmentVariable("CI") == "true")
                FAIL() << "no test printer: the cups_printer fixture did not run";
            GTEST_SKIP() << "no test printer (run through ctest)";
        }
        queue = QString::fromUtf8(queueFile.readAll()).trimmed();
        qunsetenv("LPDEST"); // only the server's default printer counts here
        qunsetenv("PRINTER");
        form.show();
    }

    QStringList pdfs() const { return out.entryList({q("*.pdf")}, QDir::Files, QDir::Time); }

    // The test printer's administration, through its script.
    void testPrinter(const char *action) const
    {
        EXPECT_EQ(QProcess::execute(q(SOLVARA_CUPS_SCRIPT), {q(action), state}), 0) << action;
    }

    void click(const char *button)
    {
        QTest::mouseClick(qobject_cast<QPushButton *>(form.control(button)), Qt::LeftButton);
    }

    // Presses the button, keeping how long the window took to say how it
    // went, then waits (a minute at most) for the queue to empty.
    qint64 answerMs = 0;
    QString pressStampa()
    {
        MessageCatcher catcher;
        QElapsedTimer clock;
        clock.start();
        click("Command1");
        answerMs = clock.restart();
        while (clock.elapsed() < 60000) {
            QProcess lpstat;
            lpstat.start(q("lpstat"), {q("-o"), queue});
            lpstat.waitForFinished();
            if (lpstat.readAllStandardOutput().trimmed().isEmpty())
                break;
            QTest::qWait(200);
        }
        return catcher.seen().size() == 1
                   ? catcher.seen()[0].text + " " + QString::number(catcher.seen()[0].icon)
                   : QString::number(catcher.seen().size()) + " messages";
    }
};

TEST_F(PrintEndToEnd, StampaPrintsTheTableOnTheDefaultPrinter)
{
    click("Command2");
    click("Calcola");
    const int before = pdfs().size();
    ASSERT_EQ(pressStampa(), q("Stampa inviata 1"));
    ASSERT_EQ(pdfs().size(), before + 1);
    const PdfPages page = readPdf(out.filePath(pdfs().front()));

    ASSERT_EQ(page.count, 1);
    EXPECT_NEAR(page.widthMm, 210, 0.5);
    EXPECT_NEAR(page.heightMm, 297, 0.5);
    // The queue redraws the page through Ghostscript, whose embedded fonts give
    // pdftotext a slightly different ascent: the title is placed to 0.8 mm,
    // the table's far corner relative to it to 0.3 mm (places in detail are
    // the page test's).
    const auto title = page.find(q("ALTEZZA")), corner = page.find(q("28,44"));
    ASSERT_TRUE(title && corner);
    EXPECT_NEAR(title->leftMm, 74, 0.3);
    EXPECT_NEAR(title->topMm, 10, 0.8);
    EXPECT_NEAR(corner->leftMm, 185, 0.3);
    EXPECT_NEAR(corner->topMm - title->topMm, 180 - 10, 0.3);
    // "LAT =" and the latitude are one text: no blank between them.
    const auto latitude = page.find(q("=38,1217"));
    ASSERT_TRUE(latitude.has_value());
    EXPECT_NEAR(latitude->topMm, page.find(q("LAT"))->topMm, 0.01);
}

// Whatever is wrong with the print system, the error comes within 20 s of
// the click with the program's own time limits, nothing comes out, and the
// window goes on working; once mended, the printer prints again.
TEST_F(PrintEndToEnd, BrokenPrintSystemShowsTheErrorSoonAndTheWindowGoesOn)
{
    const struct {
        const char *name, *breakIt, *mendIt; // test printer actions, or none for the fake server
    } rows[] = {{"rejecting queue", "reject", "accept"},
                {"print server that swallows the page", nullptr, nullptr},
                {"no printer", "remove", "start"}};
    const int before = pdfs().size();
    for (const auto &r : rows) {
        std::optional<FakePrintServer> server;
        if (r.breakIt)
            testPrinter(r.breakIt);
        else
            qputenv("CUPS_SERVER", server.emplace(FakePrintServer::Mode::StallsPage).address());
        form.setText("x1", "9");
        EXPECT_EQ(pressStampa(), q("Errore nella procedura di stampa 3")) << r.name;
        EXPECT_LT(answerMs, 20000) << r.name;
        EXPECT_EQ(pdfs().size(), before) << r.name;
        click("Azzera");
        EXPECT_EQ(form.text("x1"), "0") << r.name;
        if (r.mendIt)
            testPrinter(r.mendIt);
        qunsetenv("CUPS_SERVER");
    }
    click("Calcola");
    EXPECT_EQ(form.text("x2"), "0,00");
    EXPECT_EQ(pressStampa(), q("Stampa inviata 1"));
    EXPECT_LT(answerMs, 5000);
    EXPECT_EQ(pdfs().size(), 1); // in the folder the mended queue emptied
}

} // namespace
