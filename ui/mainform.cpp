#include "mainform.h"

#include "altitude.h"
#include "centraform.h"
#include "cups_printer.h"
#include "form_reset.h"
#include "input_message.h"
#include "layout.h"
#include "presets.h"
#include "print_table.h"
#include "readable_text.h"

#include <QApplication>
#include <QDialog>
#include <QFont>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <stdexcept>

using namespace solvara;
using namespace solvara::ui;

namespace {

QRect toPixels(const Twips &t)
{
    return {t.left / kTwipsPerPixel, t.top / kTwipsPerPixel, t.width / kTwipsPerPixel,
            t.height / kTwipsPerPixel};
}

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

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

// The window's own font is fitted to its captions between these sizes.
constexpr double kLargestWindowPoints = 8;
constexpr double kSmallestWindowPoints = 4;

// While the page is handed to the printer the window waits without freezing:
// it keeps repainting, shows a wait cursor at once and a note after half a
// second, but takes no click, key or closing, so that no other handler runs
// and its texts stay those being printed.
class PrintWait final : public QObject {
public:
    explicit PrintWait(QWidget *window) : note_(window)
    {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        qApp->installEventFilter(this);
        note_.setWindowTitle(QStringLiteral("Solvara"));
        note_.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        note_.setWindowModality(Qt::ApplicationModal);
        auto *layout = new QVBoxLayout(&note_);
        layout->addWidget(new QLabel(QStringLiteral("Invio alla stampante…"), &note_));
        QTimer::singleShot(500, &note_, [this] { note_.show(); });
    }
    ~PrintWait() override
    {
        qApp->removeEventFilter(this);
        QGuiApplication::restoreOverrideCursor();
    }
    PrintWait(const PrintWait &) = delete;
    PrintWait &operator=(const PrintWait &) = delete;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
            return true;
        case QEvent::Close:
            return event->spontaneous(); // the window manager's close button
        default:
            return false;
        }
    }

private:
    QDialog note_;
};

} // namespace

MainForm::MainForm(QWidget *parent)
    : QWidget(parent)
    , printerFactory_([] { return std::make_unique<CupsPrinter>(); })
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QString::fromUtf8(kWindowCaption));
    // Read as the PNG it is: left to guess, the reader would load every
    // image format plugin to ask each of them first.
    QImageReader icon(QStringLiteral(":/icons/solvara.png"), "png");
    icon.setAutoDetectImageFormat(false);
    setWindowIcon(QPixmap::fromImage(icon.read()));
    // A narrow face, so that hour captions such as "07.00 17.00" fit their
    // labels on one line at a readable size; its size is fitted below.
    QFont windowFont(QStringLiteral("Liberation Sans Narrow"));
    windowFont.setPointSizeF(kLargestWindowPoints);
    setFont(windowFont);
    resize(kClientWidthTwips / kTwipsPerPixel, kClientHeightTwips / kTwipsPerPixel);

    for (const ControlSpec &entry : mainFormControls()) {
        QWidget *widget = nullptr;
        switch (entry.kind) {
        case ControlKind::Label: {
            auto *label = new QLabel(qs(entry.text), this);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setWordWrap(true);
            label->setTextFormat(Qt::PlainText);
            widget = label;
            break;
        }
        case ControlKind::TextBox: {
            auto *edit = new QLineEdit(qs(entry.text), this);
            // Cells and declinations line up on their decimals.
            if (entry.name != kLatitudeBox)
                edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (!entry.enabled) {
                // Results keep the window's face and size with their stems on
                // whole pixels, so their text colour reaches the screen unfaded.
                QFont crisp;
                crisp.setHintingPreference(QFont::PreferFullHinting);
                edit->setFont(crisp);
            }
            widget = edit;
            break;
        }
        case ControlKind::Button: {
            auto *push = new QPushButton(qs(entry.text), this);
            push->setAutoDefault(false);
            widget = push;
            break;
        }
        }
        widget->setObjectName(qs(entry.name));
        widget->setGeometry(toPixels(entry.place));
        if (entry.font != FontRole::Window)
            widget->setFont(fontFor(entry.font, windowFont));
        widget->setEnabled(entry.enabled);
        if (!entry.accessibleName.empty())
            widget->setAccessibleName(qs(entry.accessibleName));
        if (entry.red) {
            QPalette palette = widget->palette();
            palette.setColor(QPalette::WindowText, QColor(255, 0, 0));
            widget->setPalette(palette);
        }
        controls_.emplace(entry.name, widget);
    }

    fitWindowFont();
    makeCellsReadable();

    const auto &order = tabOrder();
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(control(order[i - 1]), control(order[i]));
    control(order.front())->setFocus();

    connect(button("Calcola"), &QPushButton::clicked, this, &MainForm::Calcola_Click);
    connect(button("Azzera"), &QPushButton::clicked, this, &MainForm::Azzera_Click);
    connect(button("Command1"), &QPushButton::clicked, this, &MainForm::Command1_Click);
    connect(button("Command2"), &QPushButton::clicked, this, &MainForm::Command2_Click);
    connect(button("Command3"), &QPushButton::clicked, this, &MainForm::Command3_Click);
    connect(button("Command4"), &QPushButton::clicked, this, &MainForm::Command4_Click);
}

MainForm::~MainForm() = default;

void MainForm::fitWindowFont()
{
    // Every caption that a label in the window's font may show: its opening
    // text, and the headings the presets write.
    std::vector<std::pair<const QLabel *, QString>> captions;
    for (const ControlSpec &entry : mainFormControls()) {
        const auto *label = qobject_cast<const QLabel *>(control(entry.name));
        if (!label || entry.font != FontRole::Window)
            continue;
        std::vector<std::string_view> texts = {entry.text};
        for (int column = 1; column <= kColumns; ++column)
            if (entry.name == headingLabel(column))
                for (const auto *preset : {&kFifteenDaySteps, &kFiveDegreeSteps, &kFourDegreeSteps})
                    texts.push_back(preset->columnCaptions[column - 1]);
        for (const std::string_view text : texts)
            if (!text.empty())
                captions.emplace_back(label, qs(text));
    }
    // The largest size, in quarter points, at which each caption as its label
    // lays it out (wrapped or not) stands inside the label down to the
    // baseline of its last line; only the descent of a two-line date heading
    // may pass the label's edge, and dates have nothing below the baseline.
    QFont windowFont = font();
    for (double points = kLargestWindowPoints; points >= kSmallestWindowPoints; points -= 0.25) {
        windowFont.setPointSizeF(points);
        const QFontMetrics metrics(windowFont, this);
        const bool fits = std::all_of(captions.begin(), captions.end(), [&](const auto &caption) {
            const QLabel *label = caption.first;
            const int wrap = label->wordWrap() ? Qt::TextWordWrap : 0;
            const QRect needed = metrics.boundingRect(label->rect(), int(label->alignment()) | wrap,
                                                      caption.second);
            return needed.width() <= label->width()
                && needed.height() - metrics.descent() <= label->height();
        });
        if (fits)
            break;
    }
    setFont(windowFont);
}

void MainForm::makeCellsReadable()
{
    // The result cells stay disabled, but their text is darkened (or on a dark
    // theme lightened) from the theme's disabled grey until it reads well.
    const QPalette theme = palette();
    const QColor text = readableText(theme.color(QPalette::Disabled, QPalette::Text),
                                     theme.color(QPalette::Disabled, QPalette::Base));
    for (const ControlSpec &entry : mainFormControls()) {
        if (entry.kind != ControlKind::TextBox || entry.enabled)
            continue;
        QWidget *cell = control(entry.name);
        QPalette own = cell->palette();
        own.setColor(QPalette::Disabled, QPalette::Text, text);
        cell->setPalette(own);
    }
}

void MainForm::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange)
        makeCellsReadable();
    QWidget::changeEvent(event);
}

QWidget *MainForm::control(std::string_view name) const
{
    const auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : it->second;
}

QLineEdit *MainForm::box(std::string_view name) const
{
    auto *edit = qobject_cast<QLineEdit *>(control(name));
    if (!edit)
        throw std::out_of_range("no text box named " + std::string(name));
    return edit;
}

QPushButton *MainForm::button(std::string_view name) const
{
    return qobject_cast<QPushButton *>(control(name));
}

std::string MainForm::text(std::string_view name) const
{
    return box(name)->text().toStdString();
}

void MainForm::setText(std::string_view name, std::string_view text)
{
    box(name)->setText(qs(text));
}

void MainForm::setCaption(std::string_view name, std::string_view caption)
{
    auto *label = qobject_cast<QLabel *>(control(name));
    if (!label)
        throw std::out_of_range("no label named " + std::string(name));
    label->setText(qs(caption));
}

void MainForm::setPrinterFactory(PrinterFactory factory)
{
    printerFactory_ = std::move(factory);
}

void MainForm::showEvent(QShowEvent *event)
{
    if (!loaded_ && !event->spontaneous()) {
        loaded_ = true;
        Form_Load();
    }
    QWidget::showEvent(event);
}

void MainForm::showMessage(QMessageBox::Icon icon, const QString &message)
{
    QMessageBox box(icon, QStringLiteral("Solvara"), message, QMessageBox::Ok, this);
    box.exec();
}

void MainForm::Form_Load()
{
    CentraForm::Centra(*this);
}

void MainForm::Calcola_Click()
{
    if (const auto error = computeTable(*this)) {
        showMessage(QMessageBox::Critical, QString::fromStdString(inputMessage(*error)));
        box(error->box)->setFocus();
        box(error->box)->selectAll();
    }
}

void MainForm::Azzera_Click() { resetForm(*this); }

void MainForm::Command1_Click()
{
    const auto printer = printerFactory_();
    const PrintOutcome outcome = [&] {
        const PrintWait wait(this);
        return printTable(*this, *printer);
    }();
    if (outcome == PrintOutcome::Sent)
        showMessage(QMessageBox::Information, QStringLiteral("Stampa inviata"));
    else
        showMessage(QMessageBox::Critical, QStringLiteral("Errore nella procedura di stampa"));
}

void MainForm::Command2_Click() { applyPreset(kFifteenDaySteps, *this); }
void MainForm::Command3_Click() { applyPreset(kFiveDegreeSteps, *this); }
void MainForm::Command4_Click() { applyPreset(kFourDegreeSteps, *this); }
