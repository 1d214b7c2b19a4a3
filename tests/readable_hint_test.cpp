#include "mainform.h"
#include "readable_text.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>

#include <algorithm>

namespace {

using solvara::ui::contrastRatio;

// The reminder about decimal commas, as drawn, reads at 4.5:1 at least and
// stays red on a light and on a dark palette, each set while the window is
// open: its strongest pixel against the window's background.
TEST(DecimalCommaHint, ReadsRedOnLightAndDarkPalettes)
{
    MainForm form;
    const QRect hint = form.control("Label15")->geometry();
    for (const QColor window : {QColor(0xefefef), QColor(0x353535)}) {
        form.setPalette(QPalette(window));
        const QImage drawn = form.grab(hint).toImage();
        QColor strongest = window;
        for (int i = 0; i < drawn.width() * drawn.height(); ++i)
            if (const QColor c = drawn.pixel(i % drawn.width(), i / drawn.width());
                contrastRatio(c, window) > contrastRatio(strongest, window))
                strongest = c;
        EXPECT_GE(contrastRatio(strongest, window), 4.5) << window.name().toStdString();
        EXPECT_GT(strongest.red(), 2 * std::max(strongest.green(), strongest.blue()))
            << strongest.name().toStdString();
    }
}

// Whatever the font resolution, each caption drawn in a face of its own
// stands whole inside its label, descenders included, and the latitude box
// shows its whole opening text (2 pixels of frame and 2 of margin a side).
TEST(OwnFaces, CaptionsFitWholeAtAnyFontResolution)
{
    const MainForm form;
    for (const char *name : {"Label10", "Label13", "Label30", "Label144", "Label477"}) {
        const auto *label = qobject_cast<const QLabel *>(form.control(name));
        const QRect needed = label->fontMetrics().boundingRect(
            label->rect(), int(label->alignment()) | Qt::TextWordWrap, label->text());
        EXPECT_TRUE(label->rect().contains(needed)) << name;
    }
    const auto *latitude = qobject_cast<const QLineEdit *>(form.control("Lat"));
    EXPECT_LE(latitude->fontMetrics().horizontalAdvance(latitude->text()) + 8, latitude->width());
}

} // namespace
