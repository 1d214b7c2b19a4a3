#include "altitude.h"

#include "number_text.h"

#include <cmath>

namespace solvara {

namespace {

// What a rows 1..7 cell shows for an altitude, text holding its two-decimal
// form: the marker replaces it only when the shown value itself is negative,
// which is when it carries a minus (a value shown as 0,00 never does).
std::string_view hourCellText(std::string_view text)
{
    if (text.front() == '-')
        return kBelowHorizon;
    return text;
}

std::string noonCellText(double latitude, double declination)
{
    const double n = (90.0 + declination) - latitude;
    if (n > 90.0)
        return formatPlain(180.0 - n); // Sun north of the zenith at noon
    if (n < 0.0)
        return kBelowHorizon;
    return formatTwoDecimals(n);
}

} // namespace

std::variant<double, InputError> readBox(int column, const std::string &text)
{
    const std::string box = column == 0 ? kLatitudeBox : declinationBox(column);
    using Kind = InputError::Kind;
    const auto reading = readDegrees(text);
    if (const auto *why = std::get_if<DegreesRefusal>(&reading)) {
        switch (*why) {
        case DegreesRefusal::Empty: return InputError{Kind::Empty, column, box, text};
        case DegreesRefusal::SixtyOrMore: return InputError{Kind::SixtyOrMore, column, box, text};
        case DegreesRefusal::BeyondNinety: return InputError{Kind::BeyondNinety, column, box, text};
        case DegreesRefusal::NotANumber: break;
        }
        return InputError{Kind::NotANumber, column, box, text};
    }
    return std::get<double>(reading);
}

std::variant<TableInputs, InputError> readInputs(const Form &form)
{
    TableInputs inputs{};
    for (int column = 0; column <= kColumns; ++column) {
        const auto read =
            readBox(column, form.text(column == 0 ? kLatitudeBox : declinationBox(column)));
        if (const auto *error = std::get_if<InputError>(&read))
            return *error;
        (column == 0 ? inputs.latitude : inputs.declinations[column - 1]) = std::get<double>(read);
    }
    return inputs;
}

AltitudeCalculator::AltitudeCalculator(double latitude)
    : latitude_(latitude)
{
    const double pi = 4.0 * std::atan(1.0);
    // Two divisions: 180/pi is not the rounded reciprocal of pi/180.
    degreesToRadians_ = pi / 180.0;
    radiansToDegrees_ = 180.0 / pi;
    const double phi = latitude * degreesToRadians_;
    sinLatitude_ = std::sin(phi);
    cosLatitude_ = std::cos(phi);
    for (int row = 1; row < kNoonRow; ++row)
        cosHourAngle_[row - 1] = std::cos(hourAngleDegrees(row) * degreesToRadians_);
}

void AltitudeCalculator::writeColumn(Form &form, int column, double declination) const
{
    const double delta = declination * degreesToRadians_;
    const double sinDeclination = std::sin(delta);
    const double cosDeclination = std::cos(delta);
    TwoDecimalsBuffer buffer;

    for (int row = 1; row < kNoonRow; ++row) {
        const double s = sinDeclination * sinLatitude_
            + (cosDeclination * cosLatitude_) * cosHourAngle_[row - 1];
        // At S = +-1 (pole and Sun both at +-90) or just past it by rounding
        // the root would be of zero or less: the altitude is then +-90.
        double radicand = (-s) * s + 1.0;
        if (!(radicand > 0.0))
            radicand = 0.0;
        const double altitude = std::atan(s / std::sqrt(radicand)) * radiansToDegrees_;
        // At -0,01 or below the text would surely carry a minus: no need to
        // write it out to know the cell shows the marker.
        form.setCell(column, row,
                     altitude <= -0.01 ? std::string_view(kBelowHorizon)
                                       : hourCellText(formatTwoDecimals(altitude, buffer)));
    }
    form.setCell(column, kNoonRow, noonCellText(latitude_, declination));
}

std::optional<InputError> computeTable(Form &form)
{
    const auto read = readInputs(form);
    if (const auto *error = std::get_if<InputError>(&read))
        return *error;
    const auto &inputs = std::get<TableInputs>(read);

    const AltitudeCalculator calculator(inputs.latitude);
    for (int column = 1; column <= kColumns; ++column)
        calculator.writeColumn(form, column, inputs.declinations[column - 1]);
    return std::nullopt;
}

} // namespace solvara
