#include "grid.h"
#include "layout.h"
#include "page_request.h"
#include "readable_text.h"
#include "window_helpers.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using namespace solvara;
using namespace solvara::ui;

class MainFormTest : public testing::Test {
protected:
    MainForm form;

    QLabel *label(const std::string &name) { return qobject_cast<QLabel *>(form.control(name)); }
    void click(const char *name) { QTest::mouseClick(form.control(name), Qt::LeftButton); }
};

// The form's own rules over all 163 controls: built as the form describes
// them, places on a 120-twip grid, the altitude grid and its borders on their
// pitch, nothing overlapping more than a pixel, the window holding the whole
// layout, and a few properties.
TEST_F(MainFormTest, ControlsFollowTheFormsRules)
{
    // A name that is not a box (for a caption: a label) changes nothing and
    // throws nothing: the handlers reach the controls this way.
    form.setText("Label13", "x");
    form.setCaption("Lat", "x");
    // Made in the order the form lists them, each of its kind.
    const auto &table = mainFormControls();
    const auto controls = form.findChildren<const QWidget *>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(std::size_t(controls.size()), table.size());
    QRect extent;
    for (qsizetype i = 0; i < controls.size(); ++i) {
        const QWidget *w = controls[i];
        const ControlSpec &entry = table[std::size_t(i)];
        const std::string name = w->objectName().toStdString();
        const char *const classes[] = {"QLabel", "QLineEdit", "QPushButton"};
        EXPECT_EQ(name + " " + w->metaObject()->className(),
                  entry.name + " " + classes[int(entry.kind)]);
        // On the 120-twip grid, in whole pixels: a size may lose up to 14
        // twips, a place none.
        const Twips &p = entry.place;
        EXPECT_TRUE(w->geometry() == QRect(p.left / 15, p.top / 15, p.width / 15, p.height / 15)
                    && p.left % 120 == 0 && p.top % 120 == 0)
            << name;
        EXPECT_EQ(w->property("text").toString().toStdString(), entry.text) << name;
        for (qsizetype k = 0; k < i; ++k) {
            const QRect overlap = controls[k]->geometry().intersected(w->geometry());
            EXPECT_TRUE(overlap.isEmpty() || overlap.width() <= 1 || overlap.height() <= 1)
                << name << " over " << controls[k]->objectName().toStdString();
        }
        extent |= w->geometry();
        // A screen reader names every box and button; the cells alone are disabled.
        EXPECT_EQ(w->accessibleName().isEmpty(), entry.kind == ControlKind::Label) << name;
        const bool cell = qobject_cast<const QLineEdit *>(w) && (name[0] == 'x' || name[0] == 's');
        EXPECT_EQ(w->isEnabled(), !cell) << name;
        EXPECT_EQ(w->font().bold(), entry.font != FontRole::Window) << name;
    }
    EXPECT_TRUE(form.rect().contains(extent));
    // Down each column its heading (8 pixels in), declination and cells, 32
    // pixels (480 twips) apart; the columns 48 pixels (720 twips) apart.
    const QPoint first = form.control(cellName(1, 1))->pos();
    for (int j = 1; j <= 14; ++j) {
        const std::string column[] = {headingLabel(j), declinationBox(j)};
        for (int r = -1; r <= 8; ++r) {
            const std::string &name = r > 0 ? cellName(j, r) : column[r + 1];
            EXPECT_EQ(form.control(name)->pos(),
                      first + QPoint(48 * (j - 1) + 8 * (r < 0), 32 * (r - 1)))
                << name;
        }
    }
    EXPECT_EQ(label("Label13")->font().pointSizeF(), 12); // the title, where it fits whole
    EXPECT_FALSE(form.windowIcon().isNull());
}

// A caption drawn by its label made three times as high for a moment: the
// ink the label would cut (below its bottom edge or at its right edge) and
// how many lines of ink there are.
std::pair<bool, int> inkCutAndLines(QLabel *label)
{
    const QSize size = label->size();
    label->resize(size.width(), 3 * size.height());
    const QImage drawn = label->grab().toImage();
    label->resize(size);
    const qreal dpr = drawn.devicePixelRatio();
    const QRgb ground = drawn.pixel(drawn.width() - 1, drawn.height() - 1);
    bool cut = false, inLine = false;
    int lines = 0;
    for (int y = 0; y < drawn.height(); ++y) {
        bool ink = false;
        for (int x = 0; x < drawn.width(); ++x)
            if (drawn.pixel(x, y) != ground) {
                ink = true;
                cut |= y >= size.height() * dpr || x == drawn.width() - 1;
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
    for (const auto &[box, widest] : {std::pair("x1", "-23,44"), {"Lat", "38,1217"}})
        EXPECT_LE(form.control(box)->fontMetrics().horizontalAdvance(q(widest)),
                  form.control(box)->width() - 8)
            << box;
    // Every box, each computed cell among them, and the red comma reminder
    // read at 4.5:1 at least on the drawn window, on a light and on a dark
    // theme set while it is open: the background inside a box's frame or the
    // label against the strongest text pixel, which in the reminder stays red.
    // Measured with the window's own face: a fitted stand-in's thinner strokes
    // measure lighter, though drawn in the same colours.
    click("Calcola");
    const auto themes = qEnvironmentVariableIsEmpty("SOLVARA_WITHOUT_NARROW_FACES")
        ? std::vector{QPalette(), QPalette(QColor(0x1b1e20))}
        : std::vector<QPalette>();
    for (const QPalette &theme : themes) {
        form.setPalette(theme);
        const QImage shot = form.grab().toImage();
        const qreal dpr = shot.devicePixelRatio();
        for (const QWidget *text : form.findChildren<QWidget *>()) {
            const bool reminder = text->objectName() == q("Label15");
            if (!reminder && !qobject_cast<const QLineEdit *>(text))
                continue;
            const QRect in = text->geometry().adjusted(3, 3, -3, -3);
            const QRect drawn = QRectF(in.topLeft() * dpr, in.size() * dpr).toRect();
            std::map<QRgb, int> count; // the background: the commonest colour
            for (int y = drawn.top(); y <= drawn.bottom(); ++y)
                for (int x = drawn.left(); x <= drawn.right(); ++x)
                    ++count[shot.pixel(x, y)];
            const QColor ground =
                std::ranges::max_element(count, {}, [](auto c) { return c.second; })->first;
            const auto contrast = [&](auto c) { return contrastRatio(c.first, ground); };
            const QColor strongest = std::ranges::max_element(count, {}, contrast)->first;
            EXPECT_GE(contrastRatio(strongest, ground), 4.5) << text->objectName().toStdString();
            EXPECT_TRUE(!reminder
                        || strongest.red() > 2 * std::max(strongest.green(), strongest.blue()))
                << strongest.name().toStdString();
        }
    }
    // A text wider than its box shows whole in the box's tooltip, with what it
    // reads as or why it would be refused; a text that shows whole needs none.
    const std::tuple<const char *, const char *, const char *> tips[] = {
        {"Lat", "45°30'00\" N", "45°30'00\" N = 45,5°"},
        {"Lat", "38,1217", ""},
        {"dcl1a", "23°30'00\" E",
         "La declinazione della colonna 1 «23°30'00\" E» non è un numero."
         "\nScrivere i gradi (es. 38,1217 oppure 38°07'18\" N)."}};
    for (const auto &[box, text, tip] : tips) {
        form.setText(box, text);
        EXPECT_EQ(form.control(box)->toolTip(), q(tip)) << text;
    }
}

// Shown again later, the window stays where the user put it: the load (and
// its centring, the window-manager smoke test's) runs on the first show only.
TEST_F(MainFormTest, KeyboardVisitsOnlyTheInputsInFormOrderAndTheLoadRunsOnce)
{
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
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
    form.hide();
    form.move(3, 4);
    form.show();
    EXPECT_EQ(form.pos(), QPoint(3, 4));
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
    form.setText("Lat", "45");
    // Pressed by the mouse, or focused and pressed by Return or the keypad's
    // Enter as by Space.
    const std::tuple<const char *, int, const char *> steps[] = {
        {"Command3", 0, "45 23,44 -23,44 0 0 0 0 0|||"},
        {"Command4", Qt::Key_Return, "45 23,44 -16 -23,44 0 0 0 0|||"},
        {"Command2", Qt::Key_Enter, "45 23,44 -18,57 -23,28 -23,44 0 0 0|data|21/06|15/12  28/12"},
        {"Calcola", 0, "45 23,44 -18,57 -23,28 -23,44 ------ 68,44 21,56|data|21/06|15/12  28/12"},
        {"Azzera", Qt::Key_Enter, "0 0 0 0 0 0 0 0|||"},
        {"Calcola", Qt::Key_Return, "0 0 0 0 0 ------ 90,00 90,00|||"}}; // equator, equinox
    for (const auto &[button, key, expected] : steps) {
        if (key == 0)
            click(button);
        else
            QTest::keyClick(form.control(button), Qt::Key(key),
                            key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        EXPECT_TRUE(QTest::qWaitFor([&] { return shown() == expected; }, 1000))
            << button << ": " << shown();
    }
}

// Ctrl+C copies the table as the window shows it: tab-separated lines held
// against the cells, the dates first while the 15-day headings are shown,
// and the same as an HTML table; "Copia tabella" on a cell does the same, and
// a selection in a box is copied as usual. Under X11 another program reads
// the copy back from the clipboard.
TEST_F(MainFormTest, CopiesTheTableAsShown)
{
    const auto pasted = [] {
        if (QGuiApplication::platformName() != q("xcb"))
            return QGuiApplication::clipboard()->text();
        QProcess xclip; // answered from this event loop, which must run meanwhile
        xclip.start(q("xclip"), {q("-o"), q("-selection"), q("clipboard")});
        EXPECT_TRUE(QTest::qWaitFor([&] { return xclip.state() == QProcess::NotRunning; }, 5000));
        return QString::fromUtf8(xclip.readAllStandardOutput());
    };
    form.setText("Lat", "45");
    for (const char *preset : {"Command2", "Command3"}) {
        click(preset);
        click("Calcola");
        QTest::keyClicks(form.control(declinationBox(2)), "7"); // typed, not computed
        QStringList lines = {label("Label100")->text(), q("δ°")};
        lines += q("05.00-19.00 06.00-18.00 07.00-17.00 08.00-16.00 09.00-15.00 10.00-14.00 "
                   "11.00-13.00 12.00")
                     .split(' ');
        for (int column = 1; column <= kColumns; ++column) {
            lines[0] += '\t' + label(headingLabel(column))->text();
            for (int row = 0; row <= kRows; ++row)
                lines[row + 1] += '\t'
                    + q(form.text(row ? cellName(column, row) : declinationBox(column)).c_str());
        }
        if (lines[0].trimmed().isEmpty())
            lines.removeFirst();
        const QString table = lines.join('\n') + '\n';
        QTest::keyClick(form.control("Calcola"), Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(pasted(), table) << preset;
        const QString html = QGuiApplication::clipboard()->mimeData()->html();
        EXPECT_TRUE(html.count(q("<tr>")) == lines.size() && html.contains(q("<td>------</td>")));

        QGuiApplication::clipboard()->clear();
        QTimer::singleShot(100, &form, [] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (menu && menu->actions().value(0)->text() == q("Copia tabella"))
                menu->actions().value(0)->trigger();
            QApplication::activePopupWidget()->close();
        });
        const QPoint cell = form.control("x23")->geometry().center();
        QContextMenuEvent menu(QContextMenuEvent::Mouse, cell, form.mapToGlobal(cell));
        QApplication::sendEvent(&form, &menu);
        EXPECT_EQ(pasted(), table) << preset;
    }
    qobject_cast<QLineEdit *>(form.control("Lat"))->selectAll();
    QTest::keyClick(form.control("Lat"), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(pasted(), q("45"));
}

// Each way a box can be refused is told in words, naming the box and its
// text (without the line end a pasted cell brings), and the box then has the
// focus. Refusals typed from right to left stay: the leftmost is the one
// named. While the message is open the window is as busy as during a print:
// a press or a text set through the accessibility bus changes nothing, and
// no print starts behind the message.
TEST_F(MainFormTest, RefusedNumberIsNamedAndFocusedAndNothingRunsMeanwhile)
{
    form.setPrintHelper(q("/nonexistent/solvara-print")); // a print would fail with a message
    MessageCatcher catcher;
    click("Command2");
    const std::tuple<const char *, const char *, const char *> rows[] = {
        {"dc5a", "Command1",
         "La declinazione della colonna 14 «23°60'» ha minuti o secondi pari o superiori a 60."},
        {"dcl501a", "dcl1a", "La declinazione della colonna 5 «1,2,3» non è un numero."},
        {"Lat", "Azzera", "La latitudine «381217» deve essere compresa tra -90 e 90 gradi."},
        {"Lat", "Command1", "La latitudine è vuota."}};
    for (const auto &[box, meanwhile, message] : rows) {
        const QString typed = q(message).section(QChar(0xab), 1).section(QChar(0xbb), 0, 0);
        form.setText(box, typed.toStdString() + "\r\n");
        const std::string before = pageRequest(form); // every box's text
        catcher.whileOpen = [&, control = form.control(meanwhile), done = false]() mutable {
            if (std::exchange(done, true)) // open until a press is released
                return bool(QAccessible::queryAccessibleInterface(control)->state().pressed);
            actByAccessibility(control);
            return true;
        };
        const std::size_t seen = catcher.seen().size();
        click("Calcola");
        ASSERT_EQ(catcher.seen().size(), seen + 1) << box;
        EXPECT_EQ(catcher.seen().back(),
                  "3 Solvara: " + q(message)
                      + q("\nScrivere i gradi (es. 38,1217 oppure 38°07'18\" N)."));
        EXPECT_EQ(form.focusWidget(), form.control(box)) << box;
        EXPECT_EQ(pageRequest(form), before) << box << " " << meanwhile;
    }
    // A print started behind a message would have told its failure by now.
    EXPECT_FALSE(QTest::qWaitFor([&] { return catcher.seen().size() > std::size(rows); }, 300));
}

} // namespace
