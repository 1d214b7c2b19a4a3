#include "layout.h"

#include "credit.h"
#include "grid.h"

namespace solvara::ui {

namespace {

using K = ControlKind;
using F = FontRole;

// The grid by its rule: columns on a pitch of 720, rows on a pitch of 480.
constexpr int kGridLeft = 1680;
constexpr int kColumnPitch = 720;
constexpr int kCellsTop = 3360;
constexpr int kRowPitch = 480;
constexpr int kDeclinationTop = 2880;
constexpr int kHeadingTop = 2400;
constexpr int kBoxWidth = 615;
constexpr int kBoxHeight = 285;

// Heading labels over the columns: width x height, column 1 first.
struct Size {
    int width, height;
};
constexpr Size kHeadingSizes[kColumns] = {
    {495, 255}, {495, 495}, {375, 495}, {495, 495}, {495, 375}, {375, 495}, {375, 495},
    {375, 495}, {495, 495}, {495, 495}, {495, 495}, {495, 495}, {495, 495}, {495, 495},
};

// What a screen reader says for a result cell: its column and both hours.
std::string spokenCell(int column, int row)
{
    const int fromNoon = kNoonRow - row;
    auto hour = [](int h) { return (h < 10 ? "0" : "") + std::to_string(h) + ".00"; };
    const std::string hours =
        fromNoon == 0 ? "ore 12.00" : "ore " + hour(12 - fromNoon) + " e " + hour(12 + fromNoon);
    return "Colonna " + std::to_string(column) + ", " + hours;
}

std::vector<ControlSpec> build()
{
    // clang-format off
    std::vector<ControlSpec> c = {
        //  name        kind        caption or text                      left   top   width height font
        {"Label1",    K::Label,  "Declinazione giornaliera",            {9480,  120, 1815, 255}},
        {"Label13",   K::Label,  "Solvara del sole",                    {4440,  240, 3495, 375}, F::TitleBold},
        {"Command2",  K::Button, "Passo di 15 giorni",                  {9480,  480, 1695, 375}},
        {"Command3",  K::Button, "Passo di 5°",                         {9480, 1080, 1695, 375}},
        {"Command4",  K::Button, "Passo di 4°",                         {9480, 1680, 1695, 375}},
        {"Label10",   K::Label,  "Latitudine",                          {3720, 1200,  975, 255}, F::ArialBold},
        {"Lat",       K::TextBox, kOpeningLatitude,                     {5040, 1200,  855, 285}, F::ArialBold},
        {"Label15",   K::Label,  "(Per  i dec.usare la virgola)",       {6600, 1200, 1935, 255}, F::Window, true, true},
        {"Label477",  K::Label,  "CALCOLO DELLA ALTEZZA ANGOLARE DEL SOLE    h°,dd",
                                                                        { 480, 1920, 4935, 255}, F::TimesBold},
        {"Label100",  K::Label,  "",                                    {1080, 2400,  495, 255}, F::ArialBold},
        // The Symbol face's "d°" reads as delta-degree; written as Unicode here.
        {"Label30",   K::Label,  "δ°",                                  {1440, 2880,  255, 255}, F::SymbolBold},
        {"Label7",    K::Label,  "05.00  19.00",                        { 720, 3360,  975, 255}},
        {"Label16",   K::Label,  "06.00  18.00",                        { 720, 3840,  975, 255}},
        {"Label17",   K::Label,  "07.00 17.00",                         { 720, 4320,  855, 255}},
        {"Label19",   K::Label,  "08.00  16.00",                        { 720, 4800,  975, 255}},
        {"Label21",   K::Label,  "09.00  15.00",                        { 720, 5280,  975, 255}},
        {"Label24",   K::Label,  "10.00  14.00",                        { 720, 5760,  975, 255}},
        {"Label26",   K::Label,  "11.00  13.00",                        { 600, 6240,  975, 255}},
        {"Label28",   K::Label,  "12.00",                               {1080, 6720,  495, 255}},
        {"Calcola",   K::Button, "Calcola",                             {4320, 7320,  855, 375}},
        {"Azzera",    K::Button, "Azzera",                              {5880, 7320,  855, 375}},
        {"Command1",  K::Button, "Stampa",                              {7440, 7320,  855, 375}},
        {"Label144",  K::Label,  kCreditLine,                           {3000, 8040, 6135, 255}, F::ArialBold},
    };
    // clang-format on

    for (int column = 1; column <= kColumns; ++column) {
        const int left = kGridLeft + kColumnPitch * (column - 1);
        const Size heading = kHeadingSizes[column - 1];
        c.push_back({headingLabel(column),
                     K::Label,
                     "",
                     {left + 120, kHeadingTop, heading.width, heading.height}});
        c.push_back({declinationBox(column),
                     K::TextBox,
                     "0",
                     {left, kDeclinationTop, kBoxWidth, kBoxHeight},
                     F::Window,
                     true,
                     false,
                     "Declinazione, colonna " + std::to_string(column)});
        for (int row = 1; row <= kRows; ++row)
            c.push_back({cellName(column, row),
                         K::TextBox,
                         "0",
                         {left, kCellsTop + kRowPitch * (row - 1), kBoxWidth, kBoxHeight},
                         F::Window,
                         false,
                         false,
                         spokenCell(column, row)});
    }
    for (ControlSpec &control : c) {
        if (control.name == kLatitudeBox)
            control.accessibleName = "Latitudine";
        else if (control.kind == K::Button)
            control.accessibleName = control.text;
    }
    return c;
}

} // namespace

const std::vector<ControlSpec> &mainFormControls()
{
    static const std::vector<ControlSpec> controls = build();
    return controls;
}

const std::vector<std::string> &tabOrder()
{
    static const std::vector<std::string> order = [] {
        std::vector<std::string> o = {"Calcola",         "Lat",     "Azzera", "Command1",
                                      declinationBox(1), "Command2"};
        for (int column = 2; column <= 12; ++column)
            o.push_back(declinationBox(column));
        // Columns 14 and 13 are visited in that order.
        o.push_back(declinationBox(14));
        o.push_back(declinationBox(13));
        o.insert(o.end(), {"Command3", "Command4"});
        return o;
    }();
    return order;
}

} // namespace solvara::ui
