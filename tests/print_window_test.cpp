// "Stampa" on the real window, handed to the print helper. Whatever a print
// server does, the message comes within 20 s of the click and the window works
// afterwards; while a print is handed over no handler runs, from any source,
// and the window does not change on screen; quitting during a print ends the
// program at once, the helper ended and its job withdrawn.
#include "fake_print_server.h"
#include "mainform.h"
#include "message_catcher.h"
#include "pdf_words.h"
#include "termination.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <csignal>
#include <functional>
#include <iostream>

namespace {

using namespace std::chrono_literals;

QString q(const char *s) { return QString::fromUtf8(s); }

// What a screen reader or voice control does through the accessibility bus.
void pressByAccessibility(QWidget *button)
{
    QAccessible::queryAccessibleInterface(button)->actionInterface()->doAction(
        QAccessibleActionInterface::pressAction());
}

class PrintingWindow {
public:
    MainForm form;
    MessageCatcher catcher;

    PrintingWindow()
    {
        form.setPrintHelper(q(SOLVARA_PRINT_HELPER));
        form.show();
    }
    QPushButton *button(const char *name)
    {
        return qobject_cast<QPushButton *>(form.control(name));
    }
    // Milliseconds from now to the print's message, or -1 if none came in 25 s.
    qint64 printAndTime(const std::function<void()> &press)
    {
        QElapsedTimer clock;
        clock.start();
        const std::size_t before = catcher.seen().size();
        press();
        return QTest::qWaitFor([&] { return catcher.seen().size() > before; }, 25000)
            ? clock.elapsed()
            : -1;
    }
    QString lastMessage() const
    {
        const auto &m = catcher.seen().back();
        return m.title + ": " + m.text + QString::number(m.icon);
    }
};

struct ServerFault {
    const char *name;
    const char *mode;
    bool slowName; // the server reached by a name that takes 25 s to resolve
};

void PrintTo(const ServerFault &fault, std::ostream *out) { *out << fault.name; }

class PrintServerFault : public testing::TestWithParam<ServerFault> {};

TEST_P(PrintServerFault, ErrorWithinTwentySecondsOfTheClickThenTheWindowWorks)
{
    const ServerFault &fault = GetParam();
    FakePrintServer server(fault.mode, 60s);
    const QByteArray port = server.address().mid(server.address().indexOf(':'));
    qputenv("CUPS_SERVER", fault.slowName ? "slow.print.test" + port : server.address());
    if (fault.slowName)
        qputenv("LD_PRELOAD",
                SOLVARA_SLOW_RESOLVER); // for the helper only: this process has started
    PrintingWindow window;
    const qint64 ms =
        window.printAndTime([&] { QTest::mouseClick(window.button("Command1"), Qt::LeftButton); });
    qunsetenv("LD_PRELOAD");
    qunsetenv("CUPS_SERVER");
    std::cout << fault.name << ": the message " << ms
              << " ms after the click\n"; // reported every run
    ASSERT_GE(ms, 0) << "no message";
    EXPECT_LE(ms, 20000);
    EXPECT_EQ(window.lastMessage(), q("Solvara: Errore nella procedura di stampa3"));
    EXPECT_EQ(window.catcher.seen().size(), 1u);
    EXPECT_EQ(server.told("operation 0x0005"), 0); // no job was created
    // The window works as before.
    QTest::keyClicks(window.form.control("Lat"), "5");
    QTest::mouseClick(window.button("Command2"), Qt::LeftButton);
    EXPECT_EQ(window.form.text("Lat") + " " + window.form.text("dcl1a"), "38,12175 23,44");
}

INSTANTIATE_TEST_SUITE_P(
    Stalls, PrintServerFault,
    testing::Values(ServerFault{"every printer query busy", "Busy", false},
                    ServerFault{"an answer a byte every 50 ms", "Trickle", false},
                    ServerFault{"one answer, then its queue full", "ClosesThenFull", false},
                    ServerFault{"a name that takes 25 s to resolve", "Accepts", true}),
    [](const auto &info) {
        return std::string(info.param.mode) + (info.param.slowName ? "BehindASlowName" : "");
    });

// A print under way (the server never answers, the helper gives up after its
// own 5 s): the window looks as it did, presses and text sets through the
// accessibility bus and keys change nothing and start nothing, a note comes
// after half a second; after the one message the window works, and a server
// that takes the page gets it.
TEST(PrintWindow, DuringAPrintNothingRunsOrChangesThenItPrints)
{
    FakePrintServer silent("Silent", 30s);
    qputenv("CUPS_SERVER", silent.address());
    PrintingWindow window;
    MainForm &form = window.form;
    window.button("Command1")->setFocus();
    QTest::qWait(100);
    const QImage before = form.grab().toImage();

    std::vector<std::string> seen;
    QTimer::singleShot(300, &form, [&] {
        seen.push_back(form.grab().toImage() == before ? "unchanged" : "changed");
        for (const char *name : {"Command1", "Azzera", "Command2", "Command4", "Calcola"})
            pressByAccessibility(form.control(name));
        QAccessible::queryAccessibleInterface(form.control("Lat"))
            ->editableTextInterface()
            ->replaceText(0, 7, q("45"));
        QAccessible::queryAccessibleInterface(form.control("x1"))
            ->editableTextInterface()
            ->insertText(0, q("9"));
        QTest::keyClicks(form.control("dcl1a"), "12");
    });
    QTimer::singleShot(800, &form, [&] {
        const auto labels = form.findChildren<QLabel *>();
        const auto note = std::find_if(labels.begin(), labels.end(), [](const QLabel *l) {
            return l->text() == q("Invio alla stampante…") && l->isVisible();
        });
        seen.push_back(note == labels.end() ? "no note"
                           : (*note)->window()->windowFlags() & Qt::WindowCloseButtonHint
                           ? "closable note"
                           : "note");
        const QCursor *cursor = QGuiApplication::overrideCursor();
        seen.push_back(cursor && cursor->shape() == Qt::WaitCursor ? "wait" : "arrow");
        seen.push_back(form.text("Lat") + " " + form.text("dcl1a") + " " + form.text("x1"));
    });
    const qint64 failedMs =
        window.printAndTime([&] { QTest::keyClick(window.button("Command1"), Qt::Key_Space); });
    std::cout << "server silent: the message " << failedMs << " ms after the click\n";
    EXPECT_TRUE(failedMs >= 0 && failedMs <= 20000) << failedMs;
    EXPECT_EQ(seen, (std::vector<std::string>{"unchanged", "note", "wait", "38,1217 0 0"}));
    QTest::qWait(300); // a late press would have come by now
    ASSERT_EQ(window.catcher.seen().size(), 1u);
    EXPECT_EQ(window.lastMessage(), q("Solvara: Errore nella procedura di stampa3"));
    EXPECT_EQ(silent.told("connection"), 1); // one helper: no second print
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    pressByAccessibility(form.control("Azzera"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.text("Lat") == "0"; }, 1000));

    FakePrintServer accepts("Accepts", 30s);
    qputenv("CUPS_SERVER", accepts.address());
    form.setText("dc5a", "-23,44 N"); // the last box the page reads, with a blank
    const qint64 sentMs =
        window.printAndTime([&] { QTest::mouseClick(window.button("Command1"), Qt::LeftButton); });
    qunsetenv("CUPS_SERVER");
    std::cout << "server takes the page: the message " << sentMs << " ms after the click\n";
    EXPECT_TRUE(sentMs >= 0 && sentMs <= 5000) << sentMs;
    EXPECT_EQ(window.lastMessage(), q("Solvara: Stampa inviata1"));
    EXPECT_EQ(accepts.told("operation 0x0005"), 1);
    EXPECT_TRUE(readPdf(accepts.document())
                    .find(q("-23,44"))); // the window's text (places: the page's tests)

    // An installation that lost its helper says so at once.
    form.setPrintHelper(q("/nonexistent/solvara-print"));
    const qint64 missingMs =
        window.printAndTime([&] { QTest::mouseClick(window.button("Command1"), Qt::LeftButton); });
    EXPECT_TRUE(missingMs >= 0 && missingMs < 1000) << missingMs;
    EXPECT_EQ(window.lastMessage(), q("Solvara: Errore nella procedura di stampa3"));
}

// However the program is told to end while the helper waits for the answer
// to the page, it ends within 2 s: the helper is killed (the server sees its
// connection close) and the job withdrawn.
TEST(PrintWindow, QuittingDuringAPrintEndsAtOnceAndWithdrawsTheJob)
{
    endOnTerminationSignals();
    const std::pair<const char *, std::function<void(MainForm &)>> ways[] = {
        {"QApplication::quit", [](MainForm &) { QApplication::quit(); }},
        {"closeAllWindows, as at a session's end",
         [](MainForm &) { QApplication::closeAllWindows(); }},
        {"SIGTERM", [](MainForm &) { std::raise(SIGTERM); }},
        {"the window closed", [](MainForm &form) { form.close(); }},
        {"the event loop left", [](MainForm &) { QCoreApplication::exit(0); }},
    };
    for (const auto &[way, quit] : ways) {
        FakePrintServer server("SwallowsAnswer", 30s);
        qputenv("CUPS_SERVER", server.address());
        QElapsedTimer sinceQuit;
        {
            PrintingWindow window;
            QTimer watch;
            QObject::connect(&watch, &QTimer::timeout, &window.form, [&] {
                if (!sinceQuit.isValid() && server.told("operation 0x0006") == 1) {
                    sinceQuit.start();
                    quit(window.form);
                }
            });
            watch.start(10);
            QTimer::singleShot(0, &window.form, [&] { window.button("Command1")->click(); });
            QTimer giveUp;
            QObject::connect(&giveUp, &QTimer::timeout, &window.form,
                             [] { QCoreApplication::exit(1); });
            giveUp.start(10000);
            EXPECT_EQ(QApplication::exec(), 0) << way;
        }
        qunsetenv("CUPS_SERVER");
        ASSERT_TRUE(sinceQuit.isValid()) << way;
        const qint64 ms = sinceQuit.elapsed();
        std::cout << way << ": ended " << ms << " ms after it was told\n";
        EXPECT_LT(ms, 2000) << way;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return server.told("operation 0x0008") == 1
                    && server.told("closed") == server.told("connection");
            },
            4000))
            << way;
    }
}

} // namespace
