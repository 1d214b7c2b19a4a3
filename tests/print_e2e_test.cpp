// Presses "Stampa" on the real window with a real CUPS server whose default
// printer is a PDF queue, and reads the page that came out.
#include "mainform.h"
#include "message_catcher.h"
#include "pdf_words.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>
#include <QTest>

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

    void lp(const char *command, const QStringList &arguments = {}) const
    {
        QProcess::execute(q(command), arguments.isEmpty() ? QStringList{queue} : arguments);
    }

    // Presses the button, then waits (a minute at most) for the queue to empty.
    QString pressStampa()
    {
        MessageCatcher catcher;
        QTest::mouseClick(qobject_cast<QPushButton *>(form.control("Command1")), Qt::LeftButton);
        QElapsedTimer clock;
        clock.start();
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
    QTest::mouseClick(qobject_cast<QPushButton *>(form.control("Command2")), Qt::LeftButton);
    QTest::mouseClick(qobject_cast<QPushButton *>(form.control("Calcola")), Qt::LeftButton);
    const int before = pdfs().size();
    ASSERT_EQ(pressStampa(), q("Stampa inviata 1"));
    ASSERT_EQ(pdfs().size(), before + 1);
    const PdfPages page = readPdf(out.filePath(pdfs().front()));

    ASSERT_EQ(page.count, 1);
    EXPECT_NEAR(page.widthMm, 210, 0.5);
    EXPECT_NEAR(page.heightMm, 297, 0.5);
    // The queue's printable area is the whole sheet. It redraws the page
    // through Ghostscript, whose embedded fonts give pdftotext a slightly
    // different ascent: lines are compared with the title's to 0.3 mm, the
    // title with its place to 0.8 mm.
    const auto title = page.find(q("ALTEZZA"));
    ASSERT_TRUE(title.has_value());
    EXPECT_NEAR(title->leftMm, 74, 0.3);
    EXPECT_NEAR(title->topMm, 10, 0.8);
    const struct {
        const char *word;
        double x, y;
    } rows[] = {{"LAT", 15, 20},       {"DCL", 25, 40},    {"12", 187, 40},
                {"23,44", 25, 50},     {"75,32", 185, 50}, {"-23,44", 25, 180},
                {"28,44", 185, 180}};
    for (const auto &r : rows) {
        const auto word = page.find(q(r.word));
        ASSERT_TRUE(word.has_value()) << r.word;
        EXPECT_NEAR(word->leftMm, r.x, 0.3) << r.word;
        EXPECT_NEAR(word->topMm - title->topMm, r.y - 10, 0.3) << r.word;
    }
    // "LAT =" and the latitude are one text: no blank between them.
    const auto latitude = page.find(q("=38,1217"));
    ASSERT_TRUE(latitude.has_value());
    EXPECT_NEAR(latitude->topMm, page.find(q("LAT"))->topMm, 0.01);
}

TEST_F(PrintEndToEnd, RejectingQueueOrNoPrinterShowsTheErrorAndTheWindowGoesOn)
{
    const int before = pdfs().size();
    lp("cupsreject");
    EXPECT_EQ(pressStampa(), q("Errore nella procedura di stampa 3"));
    lp("cupsaccept");

    lp("lpadmin", {q("-x"), queue});
    EXPECT_EQ(pressStampa(), q("Errore nella procedura di stampa 3"));
    EXPECT_EQ(pdfs().size(), before);
    // The queue comes back, with an empty folder, and printing works again.
    QProcess::execute(q(SOLVARA_CUPS_SCRIPT), {q("start"), state});
    QTest::mouseClick(qobject_cast<QPushButton *>(form.control("Calcola")), Qt::LeftButton);
    EXPECT_EQ(form.text("x2"), "0,00");
    EXPECT_EQ(pressStampa(), q("Stampa inviata 1"));
    EXPECT_EQ(pdfs().size(), 1);
}

} // namespace
