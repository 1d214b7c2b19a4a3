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
    std::string column(int j)
    {
        std::string cells;
        for (int row = 1; row <= 8; ++row)
            cells += form.text(solvara::cellName(j, row)) + " ";
        return cells;
    }
    std::string table()
    {
        std::string cells;
        for (int j = 1; j <= 14; ++j)
            cells += column(j);
        return cells;
    }
    void showActive()
    {
        form.show();
        QApplication::setActiveWindow(&form);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }
};

// The form's own rules, over all 163 controls: places on a 120-twip grid,
// the altitude grid and its borders by column and row, nothing overlapping
// more than a pixel, and every other control where the form puts it.
TEST_F(MainFormTest, ControlsStandWhereTheFormPutsThem)
{
    struct Place {
        const char *kind, *text;
        QRect twips;
    };
    std::map<std::string, Place> expected = {
        {"Label1", {"QLabel", "Declinazione giornaliera", {9480, 120, 1815, 255}}},
        {"Label13", {"QLabel", "Solvara del sole", {4440, 240, 3495, 375}}},
        {"Command2", {"QPushButton", "Passo di 15 giorni", {9480, 480, 1695, 375}}},
        {"Command3", {"QPushButton", "Passo di 5°", {9480, 1080, 1695, 375}}},
        {"Command4", {"QPushButton", "Passo di 4°", {9480, 1680, 1695, 375}}},
        {"Label10", {"QLabel", "Latitudine", {3720, 1200, 975, 255}}},
        {"Lat", {"QLineEdit", "38,1217", {5040, 1200, 855, 285}}},
        {"Label15", {"QLabel", "(Per  i dec.usare la virgola)", {6600, 1200, 1935, 255}}},
        {"Label477", {"QLabel", "CALCOLO DELLA ALTEZZA ANGOLARE DEL SOLE    h°,dd", {480, 1920, 4935, 255}}},
        {"Label100", {"QLabel", "", {1080, 2400, 495, 255}}},
        {"Label30", {"QLabel", "δ°", {1440, 2880, 255, 255}}},
        {"Label7", {"QLabel", "05.00  19.00", {720, 3360, 975, 255}}},
        {"Label16", {"QLabel", "06.00  18.00", {720, 3840, 975, 255}}},
        {"Label17", {"QLabel", "07.00 17.00", {720, 4320, 855, 255}}},
        {"Label19", {"QLabel", "08.00  16.00", {720, 4800, 975, 255}}},
        {"Label21", {"QLabel", "09.00  15.00", {720, 5280, 975, 255}}},
        {"Label24", {"QLabel", "10.00  14.00", {720, 5760, 975, 255}}},
        {"Label26", {"QLabel", "11.00  13.00", {600, 6240, 975, 255}}},
        {"Label28", {"QLabel", "12.00", {1080, 6720, 495, 255}}},
        {"Calcola", {"QPushButton", "Calcola", {4320, 7320, 855, 375}}},
        {"Azzera", {"QPushButton", "Azzera", {5880, 7320, 855, 375}}},
        {"Command1", {"QPushButton", "Stampa", {7440, 7320, 855, 375}}},
        {"Label144", {"QLabel", "Programma Solvara, a cura del progetto Solvara", {3000, 8040, 6135, 255}}},
    };
    const QSize headings[] = {{495, 255}, {495, 495}, {375, 495}, {495, 495}, {495, 375},
                              {375, 495}, {375, 495}, {375, 495}, {495, 495}, {495, 495},
                              {495, 495}, {495, 495}, {495, 495}, {495, 495}};
    for (int j = 1; j <= 14; ++j) {
        const int left = 1680 + 720 * (j - 1);
        expected[solvara::headingLabel(j)] = {"QLabel", "", {QPoint(left + 120, 2400), headings[j - 1]}};
        expected[solvara::declinationBox(j)] = {"QLineEdit", "0", {left, 2880, 615, 285}};
        for (int r = 1; r <= 8; ++r)
            expected[solvara::cellName(j, r)] = {"QLineEdit", "0", {left, 3360 + 480 * (r - 1), 615, 285}};
    }
    ASSERT_EQ(expected.size(), 163u);

    std::vector<std::pair<QString, QRect>> placed; // in twips, 15 to a pixel
    for (QObject *child : form.children()) {
        auto *w = qobject_cast<QWidget *>(child);
        if (!w || w->isWindow())
            continue;
        const std::string name = w->objectName().toStdString();
        const auto it = expected.find(name);
        ASSERT_NE(it, expected.end()) << name;
        const QRect px = w->geometry();
        const QRect twips(px.x() * 15, px.y() * 15, px.width() * 15, px.height() * 15);
        EXPECT_STREQ(w->metaObject()->className(), it->second.kind) << name;
        EXPECT_EQ(w->property("text").toString(), q(it->second.text)) << name;
        // Pixels are whole: a size may lose up to 14 twips, a place none.
        const QRect &want = it->second.twips;
        const QSize lost = want.size() - twips.size();
        EXPECT_EQ(twips.topLeft(), want.topLeft()) << name;
        EXPECT_TRUE(std::min(lost.width(), lost.height()) >= 0 && std::max(lost.width(), lost.height()) <= 14) << name;
        EXPECT_EQ(w->isEnabled(), name.front() != 'x' && name.front() != 's') << name;
        EXPECT_EQ(w->accessibleName().isEmpty(), it->second.kind == std::string("QLabel")) << name;
        EXPECT_EQ(w->palette().color(QPalette::WindowText) == QColor(255, 0, 0), name == "Label15") << name;
        if (const auto *box = qobject_cast<QLineEdit *>(w)) { // numbers line up on their decimals
            EXPECT_EQ(box->alignment() & Qt::AlignRight, name == "Lat" ? 0 : Qt::AlignRight) << name;
        }
        EXPECT_EQ(w->font().bold(), std::string(" Label10 Label13 Label30 Label100 Label144 Label477 Lat ")
                                        .find(" " + name + " ") != std::string::npos) << name;
        for (const auto &[other, rect] : placed) {
            const QRect overlap = rect.intersected(twips);
            EXPECT_TRUE(overlap.isEmpty() || overlap.width() <= 15 || overlap.height() <= 15)
                << name << " over " << other.toStdString();
        }
        placed.emplace_back(w->objectName(), twips);
        expected.erase(it);
    }
    EXPECT_TRUE(expected.empty()) << expected.size() << " controls missing";
    // A screen reader names every box and button, and a cell by where it stands.
    EXPECT_EQ(form.control("dcl301a")->accessibleName(), q("Declinazione, colonna 3"));
    EXPECT_EQ(form.control("x33")->accessibleName(), q("Colonna 3, ore 07.00 e 17.00"));
    EXPECT_EQ(form.control("x36")->accessibleName(), q("Colonna 3, ore 10.00 e 14.00"));
    EXPECT_EQ(form.control("s58")->accessibleName(), q("Colonna 14, ore 12.00"));
    EXPECT_EQ(form.windowTitle(), q("Solvara del sole   vers.1"));
    EXPECT_GE(form.width() * 15, 11655);
    EXPECT_GE(form.height() * 15, 8295);
}

TEST_F(MainFormTest, FontsColourAndCaptionsFitWithRealMetrics)
{
    // The narrow face the scripts install is the one the window draws with;
    // on a machine without narrow faces another face is fitted, in quarter
    // points.
    EXPECT_EQ(QFontInfo(form.font()).family() == q("Liberation Sans Narrow"),
              qEnvironmentVariableIsEmpty("SOLVARA_WITHOUT_NARROW_FACES"));
    EXPECT_EQ(qRound(form.font().pointSizeF() * 4), form.font().pointSizeF() * 4);

    // Every caption, laid out as its label draws it, stands inside the label;
    // after the 15-day preset each two-date heading takes two lines.
    click("Command2");
    for (QObject *child : form.children()) {
        if (auto *b = qobject_cast<QPushButton *>(child)) {
            EXPECT_LE(b->fontMetrics().horizontalAdvance(b->text()) + 8, b->width());
        } else if (auto *l = qobject_cast<QLabel *>(child); l && !l->text().isEmpty()) {
            const QFontMetrics m = l->fontMetrics();
            const int wrap = l->wordWrap() ? Qt::TextWordWrap : 0;
            const QRect needed = m.boundingRect(l->rect(), int(l->alignment()) | wrap, l->text());
            const bool twoDates = l->text().contains('/') && l->text().contains(' ');
            EXPECT_EQ(qRound(needed.height() / double(m.height())), twoDates ? 2 : 1)
                << l->objectName().toStdString();
            EXPECT_LE(needed.width(), l->width()) << l->objectName().toStdString();
            EXPECT_LE(needed.height() - m.descent(), l->height()) << l->objectName().toStdString();
        }
    }
    EXPECT_LE(form.control("x1")->fontMetrics().horizontalAdvance(q("-23,44")), form.control("x1")->width() - 8);
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
}

TEST_F(MainFormTest, PresetComputeResetFlow)
{
    click("Command2");
    EXPECT_EQ(label("Label113")->text(), q("15/12  28/12"));
    click("Calcola");
    EXPECT_EQ(column(1), "3,37 14,22 25,62 37,33 49,11 60,53 70,52 75,32 ");
    // Every box, each computed cell among them, reads at 4.5:1 at least on the
    // drawn window: its background (inside the frame, left of the
    // right-aligned text) against its strongest text pixel.
    const QImage shot = form.grab().toImage();
    const qreal dpr = shot.devicePixelRatio();
    for (const QLineEdit *box : form.findChildren<QLineEdit *>()) {
        const QRect in = box->geometry().adjusted(3, 3, -3, -3);
        const QImage drawn = shot.copy(QRectF(in.topLeft() * dpr, in.size() * dpr).toRect());
        double strongest = 1;
        for (int i = 0; i < drawn.width() * drawn.height(); ++i)
            strongest = std::max(strongest, contrastRatio(drawn.pixel(i % drawn.width(), i / drawn.width()),
                                                          drawn.pixel(0, 0)));
        EXPECT_GE(strongest, 4.5) << box->objectName().toStdString();
    }
    const std::string decimal = table();
    click("Command2"); // every cell back to "0"
    MessageCatcher refusal; // answers the box a refused latitude would open
    form.setText("Lat", "38° 07,302′ N"); // 38,1217
    click("Calcola");
    EXPECT_EQ(form.text("Lat") + table(), "38° 07,302′ N" + decimal);
    click("Azzera"); // straight after the 15-day preset: its headings go too
    for (int j = 100; j <= 114; ++j)
        EXPECT_EQ(label("Label" + std::to_string(j))->text(), q("")) << j;
    for (int j = 1; j <= 14; ++j)
        EXPECT_EQ(form.text(solvara::declinationBox(j)) + column(j), "00 0 0 0 0 0 0 0 ");
    EXPECT_EQ(form.text("Lat"), "0");
    click("Calcola"); // the equator at the equinox
    EXPECT_EQ(column(14), "------ 0,00 15,00 30,00 45,00 60,00 75,00 90,00 ");
}

// Each way a box can be refused is told in words, naming the box, which then
// has the focus. Refusals typed from right to left stay: the leftmost is the
// one named, and no cell changes.
TEST_F(MainFormTest, RefusedNumberIsNamedAndFocused)
{
    showActive();
    click("Command2");
    click("Calcola");
    const std::string computed = table();
    const std::pair<const char *, const char *> rows[] = {
        {"dc5a", "La declinazione della colonna 14 «23°60'» ha minuti o secondi pari o superiori a 60."},
        {"dc4a", "La declinazione della colonna 13 «1e300» non è un numero."},
        {"dcl501a", "La declinazione della colonna 5 «1,2,3» non è un numero."},
        {"Lat", "La latitudine «2000000000000000» è un numero troppo grande."},
        {"Lat", "La latitudine è vuota."}};
    for (const auto &[box, message] : rows) {
        const QString typed = q(message).section(QChar(0xab), 1).section(QChar(0xbb), 0, 0);
        form.setText(box, typed.toStdString());
        MessageCatcher catcher;
        click("Calcola");
        ASSERT_EQ(catcher.seen().size(), 1u) << box;
        EXPECT_EQ(catcher.seen()[0].title + QString::number(catcher.seen()[0].icon), q("Solvara3"));
        EXPECT_EQ(catcher.seen()[0].text, q(message) + q("\nScrivere i gradi (es. 38,1217 oppure 38°07'18\" N)."));
        EXPECT_EQ(form.focusWidget(), form.control(box)) << box;
        EXPECT_EQ(table(), computed) << box;
    }
}

TEST(ReadableText, ThemeGreyMovesJustFarEnoughFromItsBackground)
{
    EXPECT_NEAR(contrastRatio(QColor(0x6d6d6d), QColor(0xf0f0f0)), 4.54, 0.005); // classic grey
    EXPECT_NEAR(contrastRatio(Qt::white, QColor(0x050505)), 20.3814, 1e-4); // nearly black
    // Text, background, which way the text must move: lighter +1, darker -1, not at all 0.
    const std::tuple<QColor, QColor, int> rows[] = {
        {QColor(0xbebebe), QColor(0xefefef), -1}, // light theme
        {QColor(0x4a5a6a), QColor(0x1b1e20), +1}, // dark theme
        {QColor(0x202020), QColor(0xfafafa), 0}}; // already readable
    for (const auto &[text, background, way] : rows) {
        const QColor got = solvara::ui::readableText(text, background);
        const double ratio = contrastRatio(got, background);
        const int moved = got.lightness() - text.lightness();
        EXPECT_EQ((moved > 0) - (moved < 0), way) << text.name().toStdString();
        // Readable, and no further from the theme than needed.
        EXPECT_TRUE(ratio >= 4.5 && (ratio < 4.6 || got == text)) << ratio;
    }
}

} // namespace
