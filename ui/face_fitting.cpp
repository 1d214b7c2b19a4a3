#include "face_fitting.h"

#include "altitude.h"
#include "form.h"
#include "presets.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace solvara::ui {

namespace {

using Texts = std::map<std::string, std::vector<std::string>, std::less<>>;

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

// Every text each control may show: its opening text, and what the presets
// write and the table computes from them (headings, corner, declinations,
// altitudes), gathered by running them on a form that only remembers.
Texts shownTexts()
{
    class ShownTexts final : public Form {
    public:
        Texts shown;
        std::string text(std::string_view box) const override
        {
            const auto it = shown.find(box);
            return it == shown.end() || it->second.empty() ? std::string() : it->second.back();
        }
        void setText(std::string_view box, std::string_view text) override
        {
            shown[std::string(box)].emplace_back(text);
        }
        void setCaption(std::string_view label, std::string_view caption) override
        {
            setText(label, caption);
        }
    } texts;
    for (const ControlSpec &entry : mainFormControls())
        texts.setText(entry.name, entry.text);
    for (const auto *preset : {&kFifteenDaySteps, &kFiveDegreeSteps, &kFourDegreeSteps}) {
        applyPreset(*preset, texts);
        computeTable(texts);
    }
    return std::move(texts.shown);
}

// A label's caption as the label lays it out (wrapped or not), down to the
// baseline of its last line where it takes two (two dates, with nothing
// below the baseline), else to its descent.
bool standsWhole(const QLabel &label, const QString &text, const QFontMetrics &m)
{
    const int wrap = label.wordWrap() ? Qt::TextWordWrap : 0;
    const QRect needed = m.boundingRect(label.rect(), int(label.alignment()) | wrap, text);
    const int below = qRound(double(needed.height()) / m.height()) > 1 ? m.descent() : 0;
    return needed.width() <= label.width() && needed.height() - below <= label.height();
}

// A box's text without scrolling: the box keeps 2 pixels each side and a
// pixel for the cursor.
bool standsWhole(const QLineEdit &box, const QString &text, const QFontMetrics &m)
{
    QStyleOptionFrame frame;
    frame.initFrom(&box);
    frame.rect = box.rect();
    frame.lineWidth = box.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, &box);
    const QRect inside = box.style()->subElementRect(QStyle::SE_LineEditContents, &frame, &box);
    return m.horizontalAdvance(text) + 1 + std::max(0, -m.minRightBearing()) <= inside.width() - 4
        && m.height() <= inside.height();
}

// A button's caption inside its bevel.
bool standsWhole(const QPushButton &button, const QString &text, const QFontMetrics &m)
{
    QStyleOptionButton bevel;
    bevel.initFrom(&button);
    bevel.rect = button.rect();
    QStyle *style = button.style();
    const QRect inside = style->subElementRect(QStyle::SE_PushButtonContents, &bevel, &button);
    return m.horizontalAdvance(text) + style->pixelMetric(QStyle::PM_ButtonMargin, &bevel, &button)
        <= inside.width()
        && m.height() <= inside.height();
}

} // namespace

bool standsWhole(const QWidget &control, const QString &text, const QFont &face)
{
    const QFontMetrics m(face, &control);
    if (const auto *label = qobject_cast<const QLabel *>(&control))
        return standsWhole(*label, text, m);
    if (const auto *box = qobject_cast<const QLineEdit *>(&control))
        return standsWhole(*box, text, m);
    if (const auto *button = qobject_cast<const QPushButton *>(&control))
        return standsWhole(*button, text, m);
    return true;
}

namespace {

// How a control lays its text out besides its kind, size and face: its
// alignment, and for a label whether it wraps.
int layoutOf(const QWidget &control)
{
    if (const auto *label = qobject_cast<const QLabel *>(&control))
        return int(label->alignment()) | (label->wordWrap() ? 1 << 16 : 0);
    if (const auto *box = qobject_cast<const QLineEdit *>(&control))
        return int(box->alignment());
    return 0;
}

using Drawn = std::vector<std::pair<const QWidget *, QString>>;

// The texts each face draws, with a control that draws them. Controls of one
// kind, size and layout draw a text alike, so each text is kept once for all
// of them (most cells share their texts).
std::map<FontRole, Drawn> drawnByFace(const std::vector<QWidget *> &controls)
{
    Texts shown = shownTexts();
    std::map<FontRole, Drawn> drawn;
    std::set<std::tuple<FontRole, const QMetaObject *, int, int, int, QString>> kept;
    const auto &entries = mainFormControls();
    for (std::size_t i = 0; i < entries.size() && i < controls.size(); ++i) {
        const QWidget &control = *controls[i];
        const FontRole role = entries[i].font;
        for (const std::string &text : shown[entries[i].name]) {
            if (text.empty())
                continue;
            QString drawnText = qs(text);
            if (kept.emplace(role, control.metaObject(), control.width(), control.height(),
                             layoutOf(control), drawnText)
                    .second)
                drawn[role].emplace_back(&control, std::move(drawnText));
        }
    }
    return drawn;
}

// The face at the largest size, in quarter points from its design size down
// to half of it, at which every text stands whole; half the design size when
// none is.
QFont largestWhole(QFont face, const Drawn &texts)
{
    const double design = face.pointSizeF();
    for (double points = design; points >= design / 2; points -= 0.25) {
        face.setPointSizeF(points);
        if (std::all_of(texts.begin(), texts.end(),
                        [&](const auto &t) { return ui::standsWhole(*t.first, t.second, face); }))
            break;
    }
    return face;
}

} // namespace

QFont fontFor(FontRole role, const QFont &windowFont)
{
    auto bold = [](const char *family, double points) {
        QFont f(QString::fromLatin1(family));
        f.setPointSizeF(points);
        f.setBold(true);
        return f;
    };
    switch (role) {
    case FontRole::Window: return windowFont;
    case FontRole::ArialBold: return bold("Arial", 8.25);
    case FontRole::TitleBold: return bold("Arial", 12);
    case FontRole::TimesBold: return bold("Times New Roman", 8.25);
    // The caption is the Unicode delta and degree sign; a serif face draws
    // them as the Symbol face would, which here has no Unicode delta.
    case FontRole::SymbolBold: return bold("Liberation Serif", 8.25);
    }
    return windowFont;
}

void fitFonts(QWidget &window, const std::vector<QWidget *> &controls)
{
    QFont windowFont = window.font();
    windowFont.setPointSizeF(kLargestWindowPoints);
    const auto &entries = mainFormControls();
    for (const auto &[role, texts] : drawnByFace(controls)) {
        const QFont face = largestWhole(fontFor(role, windowFont), texts);
        if (role == FontRole::Window)
            window.setFont(face);
        else
            for (std::size_t i = 0; i < entries.size() && i < controls.size(); ++i)
                if (entries[i].font == role)
                    controls[i]->setFont(face);
    }
}

} // namespace solvara::ui
