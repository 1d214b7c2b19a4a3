// Presses "Stampa" on the real window with a real CUPS server whose default
// printer is a PDF queue, and reads the page that came out.
#include "mainform.h"
#include "message_catcher.h"
#include "pdf_words.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <cups/cups.h>

#include <cstdlib>

namespace {

QString q(const char *s) { return QString::fromUtf8(s); }

QString run(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

class PrintEndToEnd : public testing::Test {
protected:
    QString state;
    QString queue;
    QDir out;

    void SetUp() override
    {
        state = QString::fromUtf8(SOLVARA_CUPS_STATE);
        QFile queueFile(state + "/queue");
        if (!queueFile.open(QIODevice::ReadOnly)) {
            if (qEnvironmentVariable("CI") == "true")
                FAIL() << "no test printer: the cups_printer fixture did not run";
            GTEST_SKIP() << "no test printer (run through ctest)";
        }
        queue = QString::fromUtf8(queueFile.readAll()).trimmed();
        out = QDir(state + "/pdf");
        // Only the server's default printer counts here.
        qunsetenv("LPDEST");
        qunsetenv("PRINTER");
        qunsetenv("CUPS_SERVER");
        cupsSetServer(nullptr);
    }

    QStringList pdfs() const { return out.entryList({QStringLiteral("*.pdf")}, QDir::Files); }

    // Waits until the queue has printed everything; false after a minute.
    bool queueEmpties() const
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 60000) {
            if (run(QStringLiteral("lpstat"), {QStringLiteral("-o"), queue}).trimmed().isEmpty())
                return true;
            QTest::qWait(200);
        }
        return false;
    }

    std::vector<MessageCatcher::Seen> pressStampa(MainForm &form)
    {
        MessageCatcher catcher;
        QTest::mouseClick(qobject_cast<QPushButton *>(form.control("Command1")), Qt::LeftButton);
        return catcher.seen();
    }
};

TEST_F(PrintEndToEnd, StampaPrintsTheTableOnTheDefaultPrinter)
{
    MainForm form;
    form.show();
    QTest::mouseClick(qobject_cast<QPushButton *>(form.control("Command2")), Qt::LeftButton);
    QTest::mouseClick(qobject_cast<QPushButton *>(form.control("Calcola")), Qt::LeftButton);
    const QStringList before = pdfs();

    const auto seen = pressStampa(form);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, q("Stampa inviata"));
    EXPECT_EQ(seen[0].icon, QMessageBox::Information);
    ASSERT_TRUE(queueEmpties());

    QStringList added = pdfs();
    for (const QString &name : before)
        added.removeAll(name);
    ASSERT_EQ(added.size(), 1) << added.join(' ').toStdString();
    const PdfPages page = readPdf(out.filePath(added.front()));

    ASSERT_EQ(page.count, 1);
    EXPECT_NEAR(page.widthMm, 210, 0.5);
    EXPECT_NEAR(page.heightMm, 297, 0.5);
    // This queue's printable area is the whole sheet. The queue redraws the
    // page through Ghostscript, whose embedded fonts give pdftotext a
    // slightly different ascent: lines are compared with the title line to
    // 0.3 mm, and the title with its place to 0.8 mm.
    const auto title = page.find(q("ALTEZZA"));
    ASSERT_TRUE(title.has_value());
    EXPECT_NEAR(title->leftMm, 74, 0.3);
    EXPECT_NEAR(title->topMm, 10, 0.8);
    const struct {
        const char *word;
        double x, y;
    } rows[] = {
        {"LAT", 15, 20},    {"DCL", 25, 40},     {"5", 47, 40},       {"12", 187, 40},
        {"23,44", 25, 50},  {"75,32", 185, 50},  {"-23,44", 25, 180}, {"28,44", 185, 180},
    };
    for (const auto &r : rows) {
        const auto word = page.find(q(r.word));
        ASSERT_TRUE(word.has_value()) << r.word;
        EXPECT_NEAR(word->leftMm, r.x, 0.3) << r.word;
        EXPECT_NEAR(word->topMm - title->topMm, r.y - 10, 0.3) << r.word;
    }
    EXPECT_TRUE(page.find(q("=38,1217")).has_value());
}

TEST_F(PrintEndToEnd, RejectingQueueShowsTheErrorAndPrintsNothing)
{
    MainForm form;
    form.show();
    const QStringList before = pdfs();
    run(QStringLiteral("cupsreject"), {queue});
    const auto seen = pressStampa(form);
    run(QStringLiteral("cupsaccept"), {queue});

    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, q("Errore nella procedura di stampa"));
    EXPECT_EQ(seen[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(queueEmpties());
    EXPECT_EQ(pdfs(), before);

    // The window goes on working, and a second press prints.
    QTest::mouseClick(qobject_cast<QPushButton *>(form.control("Calcola")), Qt::LeftButton);
    EXPECT_EQ(form.text("x2"), "0,00");
    const auto again = pressStampa(form);
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0].text, q("Stampa inviata"));
}

TEST_F(PrintEndToEnd, NoPrintSystemShowsTheError)
{
    qputenv("CUPS_SERVER", QByteArray("/nonexistent/cups.sock"));
    cupsSetServer(nullptr);
    MainForm form;
    form.show();
    const auto seen = pressStampa(form);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, q("Errore nella procedura di stampa"));
    EXPECT_EQ(seen[0].icon, QMessageBox::Critical);
}

TEST_F(PrintEndToEnd, NoDefaultPrinterShowsTheError)
{
    run(QStringLiteral("lpadmin"), {QStringLiteral("-x"), queue});
    MainForm form;
    form.show();
    const auto seen = pressStampa(form);
    // Put the queue back for whatever runs next.
    QProcess::execute(QString::fromUtf8(SOLVARA_CUPS_SCRIPT), {QStringLiteral("start"), state});

    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, q("Errore nella procedura di stampa"));
    EXPECT_EQ(seen[0].icon, QMessageBox::Critical);
}

} // namespace
