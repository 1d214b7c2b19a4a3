#include "cups_printer.h"
#include "fake_print_server.h"
#include "grid.h"
#include "mainform.h"
#include "message_catcher.h"
#include "recording_printer.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

using solvara::cellName;

QString q(const char *s) { return QString::fromUtf8(s); }

class MainFormTest : public testing::Test {
protected:
    MainForm form;

    QLabel *label(const std::string &name) { return qobject_cast<QLabel *>(form.control(name)); }
    void click(const char *name)
    {
        QTest::mouseClick(qobject_cast<QPushButton *>(form.control(name)), Qt::LeftButton);
    }
    std::string column(int j)
    {
        std::string cells;
        for (int row = 1; row <= 8; ++row)
            cells += form.text(cellName(j, row)) + " ";
        return cells;
    }
    void showActive()
    {
        form.show();
        QApplication::setActiveWindow(&form);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }
};

TEST_F(MainFormTest, ControlsStandWhereTheFormPutsThem)
{
    // Left, top, width, height in pixels: twips / 15.
    const struct {
        const char *name, *kind;
        QRect pixels;
        const char *text;
    } rows[] = {
        {"Label13", "QLabel", {296, 16, 233, 25}, "Solvara del sole"},
        {"Command2", "QPushButton", {632, 32, 113, 25}, "Passo di 15 giorni"},
        {"Lat", "QLineEdit", {336, 80, 57, 19}, "38,1217"},
        {"Label15", "QLabel", {440, 80, 129, 17}, "(Per  i dec.usare la virgola)"},
        {"Label477", "QLabel", {32, 128, 329, 17}, "CALCOLO DELLA ALTEZZA ANGOLARE DEL SOLE    h°,dd"},
        {"Label30", "QLabel", {96, 192, 17, 17}, "δ°"},
        {"Label17", "QLabel", {48, 288, 57, 17}, "07.00 17.00"},
        {"Label26", "QLabel", {40, 416, 65, 17}, "11.00  13.00"},
        {"Command1", "QPushButton", {496, 488, 57, 25}, "Stampa"},
        {"Label103", "QLabel", {216, 160, 25, 33}, ""},
        {"dc5a", "QLineEdit", {736, 192, 41, 19}, "0"},
    };
    for (const auto &r : rows) {
        QWidget *w = form.control(r.name);
        ASSERT_NE(w, nullptr) << r.name;
        EXPECT_STREQ(w->metaObject()->className(), r.kind);
        EXPECT_EQ(w->geometry(), r.pixels) << r.name;
        EXPECT_EQ(w->property("text").toString(), q(r.text));
    }
    int boxes = 0, labels = 0, buttons = 0;
    for (QObject *child : form.children()) {
        boxes += qobject_cast<QLineEdit *>(child) != nullptr;
        labels += qobject_cast<QLabel *>(child) != nullptr;
        buttons += qobject_cast<QPushButton *>(child) != nullptr;
    }
    EXPECT_EQ(QString("%1 boxes, %2 labels, %3 buttons").arg(boxes).arg(labels).arg(buttons),
              q("127 boxes, 30 labels, 6 buttons"));
    for (int j = 1; j <= 14; ++j)
        for (int r = 1; r <= 8; ++r) {
            QWidget *cell = form.control(cellName(j, r));
            ASSERT_NE(cell, nullptr);
            EXPECT_EQ(cell->geometry(), QRect(112 + 48 * (j - 1), 224 + 32 * (r - 1), 41, 19));
            EXPECT_FALSE(cell->isEnabled());
        }
    EXPECT_EQ(form.windowTitle(), q("Solvara del sole   vers.1"));
    EXPECT_GE(form.width() * 15, 11655);
    EXPECT_GE(form.height() * 15, 8295);
}

TEST_F(MainFormTest, FontsColourAndCaptionsFitWithRealMetrics)
{
    const struct {
        const char *name, *family;
        double points;
    } bold[] = {{"Lat", "Arial", 8.25}, {"Label13", "Arial", 12},
                {"Label477", "Times New Roman", 8.25}, {"Label144", "Arial", 8.25}};
    for (const auto &r : bold) {
        const QFont f = form.control(r.name)->font();
        EXPECT_EQ(f.family(), q(r.family));
        EXPECT_EQ(f.pointSizeF(), r.points);
        EXPECT_TRUE(f.bold() && !f.italic() && !f.underline()) << r.name;
    }
    EXPECT_EQ(label("Label15")->palette().color(QPalette::WindowText), QColor(255, 0, 0));

    // Single-line captions fit their controls; after the 15-day preset each
    // two-date heading takes two lines, whose digits stand inside the label
    // (the second line's descent may pass the 375-twip label of column 5).
    click("Command2");
    for (QObject *child : form.children()) {
        if (auto *b = qobject_cast<QPushButton *>(child)) {
            EXPECT_LE(QFontMetrics(b->font()).horizontalAdvance(b->text()) + 8, b->width());
        } else if (auto *l = qobject_cast<QLabel *>(child); l && !l->text().isEmpty()) {
            const QFontMetrics m(l->font());
            const QRect needed =
                m.boundingRect(QRect(0, 0, l->width(), 1000), Qt::TextWordWrap, l->text());
            const int lines = qRound(needed.height() / double(m.height()));
            const int number = l->objectName().mid(5).toInt();
            const bool heading = number >= 101 && number <= 114 && l->text().contains(' ');
            EXPECT_EQ(lines, heading ? 2 : 1) << l->objectName().toStdString();
            EXPECT_LE(needed.width(), l->width()) << l->objectName().toStdString();
            EXPECT_LE((lines - 1) * m.lineSpacing() + m.ascent(), l->height());
        }
    }
    const QLineEdit *cell = qobject_cast<QLineEdit *>(form.control("x1"));
    EXPECT_LE(QFontMetrics(cell->font()).horizontalAdvance(q("-23,44")), cell->width() - 8);
}

TEST_F(MainFormTest, KeyboardVisitsOnlyTheInputsInFormOrder)
{
    showActive();
    QTest::mouseClick(form.control("x23"), Qt::LeftButton); // a cell takes no focus
    std::string visited;
    for (int i = 0; i < 22; ++i) {
        visited += QApplication::focusWidget()->objectName().toStdString() + " ";
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(visited, "Calcola Lat Azzera Command1 dcl1a Command2 dcl201a dcl301a dcl401a "
                       "dcl501a dcl601a dcl701a dcl801a dcl901a dc1a dc2a dc3a dc5a dc4a "
                       "Command3 Command4 Calcola ");

    // Enter and Escape in a box press no button.
    QTest::keyClicks(form.control("Lat"), "5");
    QTest::keyClick(form.control("Lat"), Qt::Key_Return);
    QTest::keyClick(form.control("Lat"), Qt::Key_Escape);
    EXPECT_EQ(form.text("x1"), "0");
}

TEST_F(MainFormTest, PresetComputeResetFlow)
{
    click("Command2");
    EXPECT_EQ(label("Label113")->text(), q("15/12  28/12"));
    click("Calcola");
    EXPECT_EQ(column(1), "3,37 14,22 25,62 37,33 49,11 60,53 70,52 75,32 ");
    click("Command3");
    EXPECT_EQ(label("Label100")->text() + label("Label101")->text(), q(""));
    EXPECT_EQ(form.text("dc2a") + form.text("x8"), "-23,440");
    click("Azzera");
    for (int j = 1; j <= 14; ++j)
        EXPECT_EQ(form.text(solvara::declinationBox(j)) + column(j), "00 0 0 0 0 0 0 0 ");
    EXPECT_EQ(form.text("Lat"), "0");
    click("Calcola"); // the equator at the equinox
    EXPECT_EQ(column(14), "------ 0,00 15,00 30,00 45,00 60,00 75,00 90,00 ");
}

TEST_F(MainFormTest, RefusedNumberIsNamedAndFocused)
{
    showActive();
    form.setText("dc5a", "1,2,3");
    MessageCatcher catcher;
    click("Calcola");
    ASSERT_EQ(catcher.seen().size(), 1u);
    EXPECT_EQ(catcher.seen()[0].title, q("Solvara"));
    EXPECT_EQ(catcher.seen()[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(catcher.seen()[0].text.startsWith(
        q("La declinazione della colonna 14 «1,2,3» non è un numero.")));
    EXPECT_EQ(form.focusWidget(), form.control("dc5a"));
    EXPECT_EQ(form.text("x1"), "0");
}

// While the page waits on a print server that never answers, the window
// repaints, shows that it is busy and takes no clicks; then it says why and
// works as before. A printer that takes the page is confirmed.
TEST_F(MainFormTest, StampaWaitsWithTheWindowAliveButIdleThenSaysHowItWent)
{
    using namespace std::chrono_literals;
    FakePrintServer server(FakePrintServer::Mode::Silent, 20s);
    qputenv("CUPS_SERVER", server.address());
    form.setPrinterFactory([] {
        // Connect, each exchange, the whole hand-over, cancel.
        return std::make_unique<solvara::CupsPrinter>(
            solvara::PrintServerLimits{1s, 1500ms, 3s, 1s});
    });
    showActive();
    struct Paints : QObject {
        int count = 0;
        bool eventFilter(QObject *, QEvent *e) override
        {
            count += e->type() == QEvent::Paint;
            return false;
        }
    } paints;
    form.installEventFilter(&paints);
    std::vector<std::string> seen; // what the window showed a while into the wait
    QTimer::singleShot(700, &form, [&] {
        const auto *note = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        const auto *text = note ? note->findChild<QLabel *>() : nullptr;
        seen.push_back(text ? text->text().toStdString() : "no note");
        const QCursor *cursor = QGuiApplication::overrideCursor();
        seen.push_back(cursor && cursor->shape() == Qt::WaitCursor ? "wait" : "arrow");
        paints.count = 0;
        form.update();
        click("Command2");
        QTest::keyClick(form.control("Calcola"), Qt::Key_Space);
    });
    QTimer::singleShot(1000, &form,
                       [&] { seen.push_back(paints.count > 0 ? "repainted" : "frozen"); });

    MessageCatcher catcher;
    QElapsedTimer clock;
    clock.start();
    click("Command1");
    EXPECT_LT(clock.elapsed(), 2500);
    qunsetenv("CUPS_SERVER");
    EXPECT_EQ(seen, (std::vector<std::string>{"Invio alla stampante…", "wait", "repainted"}));
    EXPECT_EQ(form.text("dcl1a") + form.text("x1") + label("Label101")->text().toStdString(), "00");
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    click("Command2");
    EXPECT_EQ(form.text("dcl1a"), "23,44");

    form.setPrinterFactory([] { return std::make_unique<RecordingPrinter>(); });
    click("Command1");
    QString messages;
    for (const auto &message : catcher.seen())
        messages += message.title + ": " + message.text + QString::number(message.icon) + ";";
    EXPECT_EQ(messages, q("Solvara: Errore nella procedura di stampa3;Solvara: Stampa inviata1;"));
}

} // namespace

namespace {

// A screen reader can name every box and button, and a cell's name says
// where it stands.
TEST(MainFormAccessibility, EveryInputAndCellHasAnItalianName)
{
    MainForm form;
    form.show();
    auto name = [&](const char *control) {
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(form.control(control));
        return a ? a->text(QAccessible::Name) : QString();
    };
    for (QObject *child : form.children()) {
        if (auto *w = qobject_cast<QWidget *>(child); w && !qobject_cast<QLabel *>(w)) {
            EXPECT_FALSE(name(w->objectName().toUtf8().constData()).isEmpty())
                << w->objectName().toStdString();
        }
    }
    EXPECT_EQ(name("Lat"), q("Latitudine"));
    EXPECT_EQ(name("dcl301a"), q("Declinazione, colonna 3"));
    EXPECT_EQ(name("x33"), q("Colonna 3, ore 07.00 e 17.00"));
    EXPECT_EQ(name("x1"), q("Colonna 1, ore 05.00 e 19.00"));
    EXPECT_EQ(name("s58"), q("Colonna 14, ore 12.00"));
    EXPECT_EQ(name("Command3"), q("Passo di 5°"));
}

} // namespace
