#include "grid.h"
#include "mainform.h"
#include "message_catcher.h"
#include "readable_text.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace {

using solvara::ui::contrastRatio;

QString q(const char *s) { return QString::fromUtf8(s); }

class MainFormTest : public testing::Test {
protected:
    MainForm form;

    QLabel *label(const std::string &name) { return qobject_cast<QLabel *>(form.control(name)); }
    void click(const char *name)
    {
        QTest::mouseClick(qobject_cast<QPushButton *>(form.control(name)), Qt::LeftButton);
    }
    std::string table()
    {
        std::string cells;
        for (int j = 1; j <= 14; ++j)
            for (int row = 1; row <= 8; ++row)
                cells += form.text(solvara::cellName(j, row)) + " ";
        return cells;
    }
    void showActive()
    {
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }
};

QRect twips(const QWidget *w)
{
    const QRect px = w->geometry();
    return {px.x() * 15, px.y() * 15, px.width() * 15, px.height() * 15};
}

// The form's own rules over all 163 controls: places on a 120-twip grid, the
// altitude grid and its borders on their pitch, nothing overlapping more than
// a pixel, the layout's extent, and a few literal places and properties.
TEST_F(MainFormTest, ControlsFollowTheFormsRules)
{
    std::map<std::string, int> kinds;
    std::vector<const QWidget *> controls;
    for (QObject *child : form.children())
        if (auto *w = qobject_cast<QWidget *>(child); w && !w->isWindow()) {
            controls.push_back(w);
            ++kinds[w->metaObject()->className()];
        }
    EXPECT_EQ(kinds,
              (std::map<std::string, int>{{"QLabel", 30}, {"QLineEdit", 127}, {"QPushButton", 6}}));
    QRect extent;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const QWidget *w = controls[i];
        const std::string name = w->objectName().toStdString();
        const QRect t = twips(w);
        EXPECT_TRUE(t.x() % 120 == 0 && t.y() % 120 == 0) << name;
        for (std::size_t k = 0; k < i; ++k) {
            const QRect overlap = twips(controls[k]).intersected(t);
            EXPECT_TRUE(overlap.isEmpty() || overlap.width() <= 15 || overlap.height() <= 15)
                << name << " over " << controls[k]->objectName().toStdString();
        }
        extent |= t;
        // A screen reader names every box and button; the cells alone are disabled.
        EXPECT_EQ(w->accessibleName().isEmpty(), qobject_cast<const QLabel *>(w) != nullptr)
            << name;
        if (const auto *box = qobject_cast<const QLineEdit *>(w)) {
            const bool cell = name.front() == 'x' || name.front() == 's';
            EXPECT_EQ(box->isEnabled(), !cell) << name;
            EXPECT_EQ(box->text().toStdString(), name == "Lat" ? "38,1217" : "0") << name;
        }
    }
    // Pixels are whole: a size may lose up to 14 twips, a place none.
    EXPECT_EQ(extent.topLeft(), QPoint(480, 120));
    EXPECT_NEAR(extent.right() + 1, 11655, 14);
    EXPECT_NEAR(extent.bottom() + 1, 8295, 14);

    const QRect first = twips(form.control(solvara::cellName(1, 1)));
    EXPECT_EQ(first, QRect(1680, 3360, 615, 285));
    for (int j = 1; j <= 14; ++j) {
        for (int r = 1; r <= 8; ++r)
            EXPECT_EQ(twips(form.control(solvara::cellName(j, r))),
                      first.translated(720 * (j - 1), 480 * (r - 1)))
                << j << "/" << r;
        EXPECT_EQ(twips(form.control(solvara::declinationBox(j))),
                  first.translated(720 * (j - 1), -480))
            << j;
        EXPECT_EQ(twips(label(solvara::headingLabel(j))).topLeft(),
                  QPoint(1800 + 720 * (j - 1), 2400))
            << j;
    }
    const std::tuple<const char *, QRect, const char *> anchors[] = {
        {"Label1", {9480, 120, 1815, 255}, "Declinazione giornaliera"},
        {"Label13", {4440, 240, 3495, 375}, "Solvara del sole"},
        {"Command2", {9480, 480, 1695, 375}, "Passo di 15 giorni"},
        {"Command3", {9480, 1080, 1695, 375}, "Passo di 5°"},
        {"Command4", {9480, 1680, 1695, 375}, "Passo di 4°"},
        {"Lat", {5040, 1200, 855, 285}, "38,1217"},
        {"Label15", {6600, 1200, 1935, 255}, "(Per  i dec.usare la virgola)"},
        {"Label477", {480, 1920, 4935, 255}, "CALCOLO DELLA ALTEZZA ANGOLARE DEL SOLE    h°,dd"},
        {"Label30", {1440, 2880, 255, 255}, "δ°"},
        {"Label17", {720, 4320, 855, 255}, "07.00 17.00"},
        {"Calcola", {4320, 7320, 855, 375}, "Calcola"},
        {"Azzera", {5880, 7320, 855, 375}, "Azzera"},
        {"Command1", {7440, 7320, 855, 375}, "Stampa"},
        {"Label144", {3000, 8040, 6135, 255}, "Programma Solvara, a cura del progetto Solvara"}};
    for (const auto &[name, place, text] : anchors) {
        ASSERT_TRUE(form.control(name)) << name;
        EXPECT_EQ(form.control(name)->property("text").toString(), q(text)) << name;
        const QRect t = twips(form.control(name)), lost(place.topLeft(), place.size() - t.size());
        EXPECT_TRUE(t.topLeft() == place.topLeft() && lost.width() >= 0 && lost.width() <= 14
                    && lost.height() >= 0 && lost.height() <= 14)
            << name;
    }
    EXPECT_TRUE(form.control("Lat")->font().bold() && label("Label13")->font().bold());
    EXPECT_EQ(label("Label13")->font().pointSizeF(), 12); // the title, where it fits whole
    EXPECT_FALSE(form.control("Calcola")->font().bold() || form.control("x1")->font().bold());
    // The comma reminder stays red, made darker or lighter only to be read.
    const QColor hint = label("Label15")->palette().color(QPalette::WindowText);
    EXPECT_TRUE(hint.hslHue() == 0 && hint.hslSaturation() == 255) << hint.name().toStdString();
    EXPECT_EQ(form.control("dcl301a")->accessibleName() + form.control("x36")->accessibleName(),
              q("Declinazione, colonna 3Colonna 3, ore 10.00 e 14.00"));
    EXPECT_EQ(form.windowTitle(), q("Solvara del sole   vers.1"));
    EXPECT_GE(form.width() * 15, 11655);
    EXPECT_GE(form.height() * 15, 8295);
}

// A caption drawn as its label draws it, in a copy of the label three times
// as high: the ink the real label would cut (below its bottom edge or at its
// right edge) and how many lines of ink there are.
std::pair<bool, int> inkCutAndLines(const QLabel *label)
{
    QLabel copy;
    copy.setFont(label->font());
    copy.setWordWrap(label->wordWrap());
    copy.setAlignment(label->alignment());
    copy.setText(label->text());
    copy.resize(label->width(), 3 * label->height());
    const QImage drawn = copy.grab().toImage();
    const qreal dpr = drawn.devicePixelRatio();
    const QRgb ground = drawn.pixel(drawn.width() - 1, drawn.height() - 1);
    bool cut = false, inLine = false;
    int lines = 0;
    for (int y = 0; y < drawn.height(); ++y) {
        bool ink = false;
        for (int x = 0; x < drawn.width(); ++x)
            if (drawn.pixel(x, y) != ground) {
                ink = true;
                cut |= y >= label->height() * dpr || x == drawn.width() - 1;
            }
        lines += ink && !inLine;
        inLine = ink;
    }
    return {cut, lines};
}

TEST_F(MainFormTest, FontsColourAndCaptionsFitWithRealMetrics)
{
    // The narrow face the scripts install is the one the window draws with;
    // on a machine without narrow faces another face is fitted.
    EXPECT_EQ(QFontInfo(form.font()).family() == q("Liberation Sans Narrow"),
              qEnvironmentVariableIsEmpty("SOLVARA_WITHOUT_NARROW_FACES"));

    // No caption loses ink at its label's edges; after the 15-day preset each
    // two-date heading takes two lines.
    click("Command2");
    for (QObject *child : form.children()) {
        if (auto *b = qobject_cast<QPushButton *>(child)) {
            EXPECT_LE(b->fontMetrics().horizontalAdvance(b->text()) + 8, b->width());
        } else if (auto *l = qobject_cast<QLabel *>(child); l && !l->text().isEmpty()) {
            const bool twoDates = l->text().contains('/') && l->text().contains(' ');
            EXPECT_EQ(inkCutAndLines(l), std::pair(false, twoDates ? 2 : 1))
                << l->objectName().toStdString();
        }
    }
    // The widest texts of a cell and of the latitude box show whole (2 pixels
    // of frame and 2 of margin a side).
    EXPECT_LE(form.control("x1")->fontMetrics().horizontalAdvance(q("-23,44")),
              form.control("x1")->width() - 8);
    EXPECT_LE(form.control("Lat")->fontMetrics().horizontalAdvance(q("38,1217")),
              form.control("Lat")->width() - 8);
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
    EXPECT_EQ(visited,
              "Calcola Lat Azzera Command1 dcl1a Command2 dcl201a dcl301a dcl401a "
              "dcl501a dcl601a dcl701a dcl801a dcl901a dc1a dc2a dc3a dc5a dc4a "
              "Command3 Command4 Calcola ");
}

// Which button runs what; the numbers themselves are the table tests'.
// Latitude 45 under the 15-day series: noon is 90 - |45 - 23,44| = 68,44 in
// the first column and 90 - |45 + 23,44| = 21,56 in the last.
TEST_F(MainFormTest, EachButtonRunsItsAction)
{
    const auto shown = [&] {
        std::string texts = form.text("Lat");
        for (const char *box : {"dcl1a", "dc2a", "dc4a", "dc5a", "s51", "x8", "s58"})
            texts += " " + form.text(box);
        for (const char *heading : {"Label100", "Label101", "Label113"})
            texts += "|" + label(heading)->text().toStdString();
        return texts;
    };
    // Every box, each computed cell among them, and the red comma reminder
    // read at 4.5:1 at least on the drawn window, on a light and on a dark
    // theme set while it is open: the background inside a box's frame or the
    // label against the strongest text pixel, which in the reminder stays red.
    const auto readable = [&] {
        const QImage shot = form.grab().toImage();
        const qreal dpr = shot.devicePixelRatio();
        std::vector<const QWidget *> texts = {label("Label15")};
        for (const QLineEdit *box : form.findChildren<QLineEdit *>())
            texts.push_back(box);
        for (const QWidget *text : texts) {
            const QRect in = text->geometry().adjusted(3, 3, -3, -3);
            const QImage drawn = shot.copy(QRectF(in.topLeft() * dpr, in.size() * dpr).toRect());
            std::map<QRgb, int> count; // the background: the commonest colour
            for (int i = 0; i < drawn.width() * drawn.height(); ++i)
                ++count[drawn.pixel(i % drawn.width(), i / drawn.width())];
            const QColor ground = std::max_element(count.begin(), count.end(), [](auto a, auto b) {
                                      return a.second < b.second;
                                  })->first;
            QColor strongest = ground;
            for (const auto &[c, n] : count)
                if (contrastRatio(c, ground) > contrastRatio(strongest, ground))
                    strongest = c;
            const std::string name =
                text->objectName().toStdString() + " " + strongest.name().toStdString();
            EXPECT_GE(contrastRatio(strongest, ground), 4.5) << name;
            if (text == texts.front()) {
                EXPECT_GT(strongest.red(), 2 * std::max(strongest.green(), strongest.blue()))
                    << name;
            }
        }
    };
    form.setText("Lat", "45");
    const std::pair<const char *, const char *> steps[] = {
        {"Command3", "45 23,44 -23,44 0 0 0 0 0|||"},
        {"Command4", "45 23,44 -16 -23,44 0 0 0 0|||"},
        {"Command2", "45 23,44 -18,57 -23,28 -23,44 0 0 0|data|21/06|15/12  28/12"},
        {"Calcola", "45 23,44 -18,57 -23,28 -23,44 ------ 68,44 21,56|data|21/06|15/12  28/12"},
        {"Azzera", "0 0 0 0 0 0 0 0|||"},
        {"Calcola", "0 0 0 0 0 ------ 90,00 90,00|||"}}; // the equator at the equinox
    for (const auto &[button, expected] : steps) {
        click(button);
        EXPECT_EQ(shown(), expected) << button;
        if (form.text("x8") == "68,44") {
            readable();
            form.setPalette(QPalette(QColor(0x1b1e20))); // and on a dark theme
            readable();
            form.setPalette(QPalette());
        }
    }
}

// Each way a box can be refused is told in words, naming the box and its
// text (without the line end a pasted cell brings), and the box then has the
// focus. Refusals typed from right to left stay: the leftmost is the one
// named, and no cell changes. The table they leave alone is computed from a
// latitude pasted from a document, line end and curly marks included.
TEST_F(MainFormTest, RefusedNumberIsNamedAndFocused)
{
    showActive();
    form.setText("Lat", "38°07’18,12” N\n"); // 38,1217
    click("Command2");
    {
        MessageCatcher unexpected; // a refused latitude would leave the cells at "0"
        click("Calcola");
    }
    const std::string computed = table();
    const std::string firstColumn = "3,37 14,22 25,62 37,33 49,11 60,53 70,52 75,32 ";
    EXPECT_EQ(computed.substr(0, firstColumn.size()), firstColumn);
    const std::pair<const char *, const char *> rows[] = {
        {"dc5a",
         "La declinazione della colonna 14 «23°60'» ha minuti o secondi pari o superiori a 60."},
        {"dc4a", "La declinazione della colonna 13 «1e300» non è un numero."},
        {"dcl501a", "La declinazione della colonna 5 «1,2,3» non è un numero."},
        {"Lat", "La latitudine «381217» deve essere compresa tra -90 e 90 gradi."},
        {"Lat", "La latitudine è vuota."}};
    for (const auto &[box, message] : rows) {
        const QString typed = q(message).section(QChar(0xab), 1).section(QChar(0xbb), 0, 0);
        form.setText(box, typed.toStdString() + "\r\n");
        MessageCatcher catcher;
        click("Calcola");
        ASSERT_EQ(catcher.seen().size(), 1u) << box;
        EXPECT_EQ(catcher.seen()[0].title + QString::number(catcher.seen()[0].icon), q("Solvara3"));
        EXPECT_EQ(catcher.seen()[0].text,
                  q(message) + q("\nScrivere i gradi (es. 38,1217 oppure 38°07'18\" N)."));
        EXPECT_EQ(form.focusWidget(), form.control(box)) << box;
        EXPECT_EQ(table(), computed) << box;
    }
}

} // namespace
