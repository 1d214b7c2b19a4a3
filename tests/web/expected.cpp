// What the browser edition must show, from the native build of the same C++:
// the window's controls in pixels, its tab order, and a series of presses on
// generated box texts with what each leaves in the boxes and headings (or the
// message it gives), then the printed page. Written as JSON for the browser
// test to hold the page against.
#include "browser_window.h"
#include "grid.h"
#include "layout.h"

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

using solvara::web::NamedTexts;

std::string quoted(const std::string &text)
{
    std::string out = "\"";
    for (const char c : text) {
        char escaped[8];
        const bool control = static_cast<unsigned char>(c) < 0x20;
        std::snprintf(escaped, sizeof escaped,
                      control ? "\\u%04x" : (c == '"' || c == '\\' ? "\\%c" : "%c"), c);
        out += escaped;
    }
    return out + '"';
}

// Each item written by write(item), a comma between two.
template<typename Items, typename Write>
void list(const Items &items, Write write)
{
    const char *between = "";
    for (const auto &item : items) {
        std::fputs(between, stdout);
        write(item);
        between = ",\n";
    }
}

std::string pairs(const NamedTexts &texts)
{
    std::string out = "[";
    for (const auto &[name, text] : texts)
        out += (out.size() > 1 ? "," : "") + ("[" + quoted(name) + "," + quoted(text) + "]");
    return out + "]";
}

// Box texts as users write them: decimals with a comma or a point, degrees
// with minutes and seconds and a hemisphere, and now and then one the window
// refuses (a word, an empty box, beyond 90 degrees, 60 minutes).
class Typist {
public:
    std::string latitude() { return degrees(90.0); }
    std::string declination() { return degrees(23.44); }

private:
    std::string degrees(double largest)
    {
        const double value = std::uniform_real_distribution<>(-largest, largest)(random_);
        char text[64];
        // One box in 25 refused.
        const char *refused[] = {"trenta", "", "95", "45°60'"};
        const int kind = std::uniform_int_distribution<>(0, 99)(random_);
        if (kind < 4)
            return refused[kind];
        if (kind < 14) { // degrees, minutes, seconds and hemisphere
            const double magnitude = std::fabs(value);
            const double minutes = (magnitude - int(magnitude)) * 60;
            std::snprintf(text, sizeof text, "%d°%02d'%02d\" %s", int(magnitude), int(minutes),
                          int((minutes - int(minutes)) * 60), value < 0 ? "S" : "N");
            return text;
        }
        if (kind < 20) { // a decimal point
            std::snprintf(text, sizeof text, "%.3f", value);
            return text;
        }
        std::snprintf(text, sizeof text, "%.*f", std::uniform_int_distribution<>(0, 6)(random_),
                      value);
        std::string comma = text;
        for (char &c : comma)
            if (c == '.')
                c = ',';
        return comma;
    }

    std::mt19937 random_{20261208};
};

} // namespace

int main()
{
    using namespace solvara;
    std::printf("{\"caption\":%s,\"width\":%d,\"height\":%d,\n\"controls\":[\n",
                quoted(ui::kWindowCaption).c_str(), ui::kClientWidthTwips / ui::kTwipsPerPixel,
                ui::kClientHeightTwips / ui::kTwipsPerPixel);
    const char *kinds[] = {"label", "box", "button"};
    list(ui::mainFormControls(), [&](const ui::ControlSpec &c) {
        const double pixel = ui::kTwipsPerPixel;
        std::printf("{\"name\":%s,\"kind\":\"%s\",\"enabled\":%s,\"spoken\":%s,\"text\":%s,"
                    "\"left\":%g,\"top\":%g,\"width\":%g,\"height\":%g}",
                    quoted(c.name).c_str(), kinds[int(c.kind)], c.enabled ? "true" : "false",
                    quoted(c.accessibleName).c_str(), quoted(c.text).c_str(), c.place.left / pixel,
                    c.place.top / pixel, c.place.width / pixel, c.place.height / pixel);
    });
    std::printf("],\n\"tabOrder\":[");
    list(ui::tabOrder(), [](const std::string &name) { std::fputs(quoted(name).c_str(), stdout); });

    // Presses: each preset once, then "Calcola" on generated texts, with a
    // preset or a reset between now and then.
    std::printf("],\n\"presses\":[\n");
    web::BrowserWindow window;
    Typist typist;
    const char *others[] = {"Command2", "Command3", "Command4", "Azzera"};
    for (int press = 0; press < 41; ++press) {
        NamedTexts typed = {{kLatitudeBox, typist.latitude()}};
        for (int column = 1; column <= kColumns; ++column)
            typed.emplace_back(declinationBox(column), typist.declination());
        const char *button = press % 5 == 4 ? others[press / 5 % 4] : "Calcola";
        if (press < 3)
            button = others[press];
        const web::Shown shown = window.press(button, typed);
        std::printf("%s{\"button\":\"%s\",\"typed\":%s,\"texts\":%s,\"captions\":%s,"
                    "\"refusedBox\":%s,\"message\":%s}",
                    press == 0 ? "" : ",\n", button, pairs(typed).c_str(),
                    pairs(shown.texts).c_str(), pairs(shown.captions).c_str(),
                    quoted(shown.refusedBox).c_str(), quoted(shown.message).c_str());
    }

    // The page and the copied table for the table the last press left.
    std::printf("],\n\"page\":[\n");
    list(window.page({}), [](const PageText &t) {
        std::printf("{\"text\":%s,\"x\":%g,\"y\":%g}", quoted(t.text).c_str(), t.xMm, t.yMm);
    });
    std::printf("],\n\"copy\":%s}\n", quoted(window.copy({}).text).c_str());
}
