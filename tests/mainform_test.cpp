#include "grid.h"
#include "mainform.h"
#include "message_catcher.h"
#include "recording_printer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

namespace {

QString q(const char *s) { return QString::fromUtf8(s); }

class MainFormTest : public testing::Test {
protected:
    MainForm form;

    QLineEdit *edit(const char *name) { return qobject_cast<QLineEdit *>(form.control(name)); }
    QLabel *label(const char *name) { return qobject_cast<QLabel *>(form.control(name)); }
    void click(const char *name)
    {
        QTest::mouseClick(qobject_cast<QPushButton *>(form.control(name)), Qt::LeftButton);
    }
    std::vector<std::string> columnCells(int column)
    {
        std::vector<std::string> cells;
        for (int row = 1; row <= 8; ++row)
            cells.push_back(form.text(solvara::cellName(column, row)));
        return cells;
    }
    void showActive()
    {
        form.show();
        QApplication::setActiveWindow(&form);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }
};

// Places in pixels (twips / 15) and texts as the form is drawn.
struct Expected {
    const char *name;
    const char *kind;
    QRect pixels;
    const char *text;
    bool enabled;
};

void PrintTo(const Expected &e, std::ostream *os) { *os << e.name; }

const Expected kControls[] = {
    {"Label1", "QLabel", {632, 8, 121, 17}, "Declinazione giornaliera", true},
    {"Label13", "QLabel", {296, 16, 233, 25}, "Solvara del sole", true},
    {"Command2", "QPushButton", {632, 32, 113, 25}, "Passo di 15 giorni", true},
    {"Command3", "QPushButton", {632, 72, 113, 25}, "Passo di 5°", true},
    {"Command4", "QPushButton", {632, 112, 113, 25}, "Passo di 4°", true},
    {"Label10", "QLabel", {248, 80, 65, 17}, "Latitudine", true},
    {"Lat", "QLineEdit", {336, 80, 57, 19}, "38,1217", true},
    {"Label15", "QLabel", {440, 80, 129, 17}, "(Per  i dec.usare la virgola)", true},
    {"Label477", "QLabel", {32, 128, 329, 17}, "CALCOLO DELLA ALTEZZA ANGOLARE DEL SOLE    h°,dd", true},
    {"Label100", "QLabel", {72, 160, 33, 17}, "", true},
    {"Label30", "QLabel", {96, 192, 17, 17}, "δ°", true},
    {"Label7", "QLabel", {48, 224, 65, 17}, "05.00  19.00", true},
    {"Label17", "QLabel", {48, 288, 57, 17}, "07.00 17.00", true},
    {"Label26", "QLabel", {40, 416, 65, 17}, "11.00  13.00", true},
    {"Label28", "QLabel", {72, 448, 33, 17}, "12.00", true},
    {"Calcola", "QPushButton", {288, 488, 57, 25}, "Calcola", true},
    {"Azzera", "QPushButton", {392, 488, 57, 25}, "Azzera", true},
    {"Command1", "QPushButton", {496, 488, 57, 25}, "Stampa", true},
    {"Label144", "QLabel", {200, 536, 409, 17}, nullptr, true},
    {"Label101", "QLabel", {120, 160, 33, 17}, "", true},
    {"Label103", "QLabel", {216, 160, 25, 33}, "", true},
    {"Label105", "QLabel", {312, 160, 33, 25}, "", true},
    {"Label114", "QLabel", {744, 160, 33, 33}, "", true},
    {"dcl1a", "QLineEdit", {112, 192, 41, 19}, "0", true},
    {"dcl901a", "QLineEdit", {496, 192, 41, 19}, "0", true},
    {"dc5a", "QLineEdit", {736, 192, 41, 19}, "0", true},
    {"x1", "QLineEdit", {112, 224, 41, 19}, "0", false},
    {"x8", "QLineEdit", {112, 448, 41, 19}, "0", false},
    {"x23", "QLineEdit", {160, 288, 41, 19}, "0", false},
    {"x98", "QLineEdit", {496, 448, 41, 19}, "0", false},
    {"s5", "QLineEdit", {544, 352, 41, 19}, "0", false},
    {"s58", "QLineEdit", {736, 448, 41, 19}, "0", false},
};

class Control : public testing::TestWithParam<Expected> {};

TEST_P(Control, StandsWhereTheFormPutsItWithItsOpeningText)
{
    const Expected &e = GetParam();
    MainForm form;
    QWidget *w = form.control(e.name);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->objectName(), q(e.name));
    EXPECT_STREQ(w->metaObject()->className(), e.kind);
    EXPECT_EQ(w->geometry(), e.pixels);
    EXPECT_EQ(w->isEnabled(), e.enabled);
    if (!e.text)
        return;
    if (auto *l = qobject_cast<QLabel *>(w))
        EXPECT_EQ(l->text(), q(e.text));
    else if (auto *t = qobject_cast<QLineEdit *>(w))
        EXPECT_EQ(t->text(), q(e.text));
    else
        EXPECT_EQ(qobject_cast<QPushButton *>(w)->text(), q(e.text));
}

INSTANTIATE_TEST_SUITE_P(Form, Control, testing::ValuesIn(kControls),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(MainFormTest, HasTheWholeFormAndNothingElse)
{
    EXPECT_EQ(form.windowTitle(), q("Solvara del sole   vers.1"));
    EXPECT_FALSE(form.windowIcon().isNull());
    int boxes = 0, labels = 0, buttons = 0;
    for (QObject *child : form.children()) {
        boxes += qobject_cast<QLineEdit *>(child) != nullptr;
        labels += qobject_cast<QLabel *>(child) != nullptr;
        buttons += qobject_cast<QPushButton *>(child) != nullptr;
    }
    EXPECT_EQ(boxes, 127);
    EXPECT_EQ(labels, 30);
    EXPECT_EQ(buttons, 6);
    // The whole layout, 11655 x 8295 twips, is inside the client area.
    EXPECT_GE(form.width(), 777);
    EXPECT_GE(form.height(), 553);
    // Every result cell follows the grid rule and is disabled.
    for (int column = 1; column <= 14; ++column)
        for (int row = 1; row <= 8; ++row) {
            QLineEdit *cell = edit(solvara::cellName(column, row).c_str());
            ASSERT_NE(cell, nullptr);
            EXPECT_EQ(cell->geometry(),
                      QRect(112 + 48 * (column - 1), 224 + 32 * (row - 1), 41, 19));
            EXPECT_FALSE(cell->isEnabled());
        }
}

TEST_F(MainFormTest, FontsAndColourAreThoseOfTheForm)
{
    const struct {
        const char *name;
        const char *family;
        double points;
        bool bold;
    } rows[] = {
        {"Lat", "Arial", 8.25, true},      {"Label10", "Arial", 8.25, true},
        {"Label13", "Arial", 12, true},    {"Label100", "Arial", 8.25, true},
        {"Label144", "Arial", 8.25, true}, {"Label477", "Times New Roman", 8.25, true},
        {"Label30", nullptr, 8.25, true},  {"Label7", nullptr, 8, false},
        {"Calcola", nullptr, 8, false},    {"x1", nullptr, 8, false},
    };
    for (const auto &r : rows) {
        const QFont font = form.control(r.name)->font();
        if (r.family) {
            EXPECT_EQ(font.family(), q(r.family)) << r.name;
        }
        EXPECT_DOUBLE_EQ(font.pointSizeF(), r.points) << r.name;
        EXPECT_EQ(font.bold(), r.bold) << r.name;
        EXPECT_FALSE(font.italic() || font.underline() || font.strikeOut()) << r.name;
    }
    EXPECT_EQ(label("Label15")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_NE(label("Label1")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
}

// With the real font metrics: single-line captions fit their labels and
// buttons, and each two-date heading of the 15-day preset wraps onto two
// lines whose digits stand inside the label (the second line's descent may
// pass the 375-twip label of column 5: digits have none).
TEST_F(MainFormTest, EveryCaptionFitsItsControl)
{
    for (QObject *child : form.children()) {
        auto *l = qobject_cast<QLabel *>(child);
        if (l && !l->text().isEmpty()) {
            const QRect needed = QFontMetrics(l->font()).boundingRect(
                QRect(0, 0, l->width(), 10000), Qt::TextWordWrap, l->text());
            EXPECT_LE(needed.height(), l->height()) << l->objectName().toStdString();
            EXPECT_LE(needed.width(), l->width()) << l->objectName().toStdString();
        }
        if (auto *b = qobject_cast<QPushButton *>(child)) {
            const int caption = QFontMetrics(b->font()).horizontalAdvance(b->text());
            EXPECT_LE(caption + 8, b->width()) << b->objectName().toStdString();
        }
    }
    click("Command2");
    for (int column = 1; column <= 14; ++column) {
        QLabel *heading = label(solvara::headingLabel(column).c_str());
        const QFontMetrics metrics(heading->font());
        const QRect needed = metrics.boundingRect(QRect(0, 0, heading->width(), 10000),
                                                  Qt::TextWordWrap, heading->text());
        const int lines = heading->text().contains(' ') ? 2 : 1;
        EXPECT_EQ(qRound(needed.height() / double(metrics.height())), lines) << column;
        EXPECT_LE((lines - 1) * metrics.lineSpacing() + metrics.ascent(), heading->height())
            << column;
    }
    // The widest texts a preset or a computation writes fit their boxes.
    const QLineEdit *cell = edit("x1");
    for (const char *text : {"-23,44", "------", "-14,54", "90,00"})
        EXPECT_LE(QFontMetrics(cell->font()).horizontalAdvance(q(text)),
                  cell->width() - 8) << text;
}

TEST_F(MainFormTest, TabVisitsTheEnabledControlsInFormOrder)
{
    showActive();
    const std::vector<std::string> expected = {
        "Calcola", "Lat", "Azzera", "Command1", "dcl1a", "Command2", "dcl201a", "dcl301a",
        "dcl401a", "dcl501a", "dcl601a", "dcl701a", "dcl801a", "dcl901a", "dc1a", "dc2a",
        "dc3a", "dc5a", "dc4a", "Command3", "Command4", "Calcola"};
    std::vector<std::string> visited;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        QWidget *focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        visited.push_back(focus->objectName().toStdString());
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    EXPECT_EQ(visited, expected);
}

TEST_F(MainFormTest, ResultCellsTakeNoFocusAndEnterComputesNothing)
{
    showActive();
    QTest::mouseClick(edit("x23"), Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), form.control("Calcola"));

    edit("Lat")->setFocus();
    QTest::keyClicks(edit("Lat"), "5");
    QTest::keyClick(edit("Lat"), Qt::Key_Return);
    QTest::keyClick(edit("Lat"), Qt::Key_Escape);
    EXPECT_EQ(form.text("x1"), "0");
    EXPECT_EQ(form.text("Lat"), "38,12175");
}

TEST_F(MainFormTest, PresetComputeResetFlow)
{
    form.setText("Lat", "38,1217");
    click("Command2");
    EXPECT_EQ(label("Label100")->text(), q("data"));
    EXPECT_EQ(label("Label113")->text(), q("15/12  28/12"));
    EXPECT_EQ(form.text("dc4a"), "-23,28");
    EXPECT_EQ(form.text("x1"), "0");

    click("Calcola");
    EXPECT_EQ(columnCells(1),
              (std::vector<std::string>{"3,37", "14,22", "25,62", "37,33", "49,11", "60,53",
                                        "70,52", "75,32"}));
    EXPECT_EQ(form.text("s51"), "------");

    click("Command3");
    EXPECT_EQ(label("Label100")->text(), q(""));
    EXPECT_EQ(label("Label101")->text(), q(""));
    EXPECT_EQ(form.text("dc2a"), "-23,44");
    EXPECT_EQ(form.text("x8"), "0");

    click("Command4");
    EXPECT_EQ(form.text("dc4a"), "-23,44");

    click("Azzera");
    EXPECT_EQ(form.text("Lat"), "0");
    for (int column = 1; column <= 14; ++column) {
        EXPECT_EQ(form.text(solvara::declinationBox(column)), "0");
        EXPECT_EQ(columnCells(column), std::vector<std::string>(8, "0"));
    }
    click("Calcola"); // the equator at the equinox
    EXPECT_EQ(columnCells(14), (std::vector<std::string>{"------", "0,00", "15,00", "30,00",
                                                         "45,00", "60,00", "75,00", "90,00"}));
}

TEST_F(MainFormTest, RefusedNumberIsNamedAndFocusedAndNoCellChanges)
{
    showActive();
    click("Calcola");
    const auto before = columnCells(3);

    const struct {
        const char *box;
        const char *text;
        const char *says;
    } rows[] = {
        {"Lat", "trentotto", "La latitudine «trentotto» non è un numero."},
        {"dcl301a", "", "La declinazione della colonna 3 è vuota."},
        {"dc5a", "1,2,3", "La declinazione della colonna 14 «1,2,3» non è un numero."},
    };
    for (const auto &r : rows) {
        MainForm fresh;
        fresh.show();
        QApplication::setActiveWindow(&fresh);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&fresh));
        fresh.setText(r.box, r.text);
        MessageCatcher catcher;
        QTest::mouseClick(qobject_cast<QPushButton *>(fresh.control("Calcola")), Qt::LeftButton);
        ASSERT_EQ(catcher.seen().size(), 1u) << r.box;
        EXPECT_EQ(catcher.seen()[0].title, q("Solvara"));
        EXPECT_EQ(catcher.seen()[0].icon, QMessageBox::Critical);
        EXPECT_TRUE(catcher.seen()[0].text.startsWith(q(r.says))) << r.box;
        EXPECT_EQ(fresh.focusWidget(), fresh.control(r.box)) << r.box;
        EXPECT_EQ(fresh.text("x31"), "0") << r.box;
    }
    EXPECT_EQ(columnCells(3), before);
}

TEST_F(MainFormTest, StampaConfirmsOnlyWhatThePrinterTook)
{
    showActive();
    const struct {
        int failAt; // -1: nothing fails; 7: the first position; 285: the end
        const char *message;
        QMessageBox::Icon icon;
    } rows[] = {
        {-1, "Stampa inviata", QMessageBox::Information},
        {0, "Errore nella procedura di stampa", QMessageBox::Critical},
        {7, "Errore nella procedura di stampa", QMessageBox::Critical},
        {285, "Errore nella procedura di stampa", QMessageBox::Critical},
    };
    for (const auto &r : rows) {
        std::vector<std::string> log;
        form.setPrinterFactory([&] { return std::make_unique<RecordingPrinter>(r.failAt, &log); });
        MessageCatcher catcher;
        click("Command1");
        ASSERT_EQ(catcher.seen().size(), 1u);
        EXPECT_EQ(catcher.seen()[0].text, q(r.message)) << r.failAt;
        EXPECT_EQ(catcher.seen()[0].icon, r.icon);
        EXPECT_EQ(catcher.seen()[0].title, q("Solvara"));
        EXPECT_EQ(log.back(), r.failAt < 0 ? "end" : "cancel") << r.failAt;
        EXPECT_EQ(form.text("Lat"), "38,1217");
    }
}

} // namespace
