#include "measure/MaskFormat.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string>

namespace {

struct MaskLayout
{
    int minIntegerDigits = 0;
    bool grouped = false;
    bool hasPoint = false;
    int minFractionDigits = 0;
    int maxFractionDigits = 0;
};

MaskLayout parseMask(QStringView mask)
{
    MaskLayout layout;
    const qsizetype point = mask.indexOf(u'.');
    layout.hasPoint = point >= 0;
    const QStringView integerPart = layout.hasPoint ? mask.first(point) : mask;
    const QStringView fractionPart = layout.hasPoint ? mask.sliced(point + 1) : QStringView();

    bool placeholderSeen = false;
    bool commaAfterPlaceholder = false;
    for (const QChar c : integerPart) {
        if (c == u'0' || c == u'#') {
            if (commaAfterPlaceholder)
                layout.grouped = true;
            placeholderSeen = true;
            if (c == u'0')
                ++layout.minIntegerDigits;
        } else if (c == u',' && placeholderSeen) {
            commaAfterPlaceholder = true;
        }
    }
    for (const QChar c : fractionPart) {
        if (c == u'0') {
            ++layout.minFractionDigits;
            ++layout.maxFractionDigits;
        } else if (c == u'#') {
            ++layout.maxFractionDigits;
        }
    }
    return layout;
}

// Adds one unit in the last place of the decimal integerDigits.fractionDigits.
void incrementLastDigit(std::string &integerDigits, std::string &fractionDigits)
{
    for (auto *digits : {&fractionDigits, &integerDigits}) {
        for (auto it = digits->rbegin(); it != digits->rend(); ++it) {
            if (*it != '9') {
                ++*it;
                return;
            }
            *it = '0';
        }
    }
    integerDigits.insert(integerDigits.begin(), '1');
}

// Rounds the exact decimal integerDigits.fractionDigits to `places` fractional digits,
// half away from zero: the first dropped digit alone decides, because the digits are exact.
void roundToPlaces(std::string &integerDigits, std::string &fractionDigits, int places)
{
    const auto kept = static_cast<std::size_t>(places);
    if (fractionDigits.size() <= kept) {
        fractionDigits.append(kept - fractionDigits.size(), '0');
        return;
    }
    const bool roundUp = fractionDigits[kept] >= '5';
    fractionDigits.resize(kept);
    if (roundUp)
        incrementLastDigit(integerDigits, fractionDigits);
}

QString assemble(std::string integerDigits, std::string fractionDigits, const MaskLayout &layout,
                 NumberSeparators separators)
{
    roundToPlaces(integerDigits, fractionDigits, layout.maxFractionDigits);

    const auto firstSignificant = integerDigits.find_first_not_of('0');
    integerDigits.erase(0, firstSignificant == std::string::npos ? integerDigits.size()
                                                                 : firstSignificant);
    if (integerDigits.size() < static_cast<std::size_t>(layout.minIntegerDigits))
        integerDigits.insert(0, layout.minIntegerDigits - integerDigits.size(), '0');

    const auto lastKept = fractionDigits.find_last_not_of('0');
    const std::size_t keep =
        std::max(static_cast<std::size_t>(layout.minFractionDigits),
                 lastKept == std::string::npos ? std::size_t{0} : lastKept + 1);
    fractionDigits.resize(keep);

    QString text;
    text.reserve(static_cast<qsizetype>(integerDigits.size()) * 4 / 3 +
                 static_cast<qsizetype>(fractionDigits.size()) + 3);
    const auto length = integerDigits.size();
    for (std::size_t i = 0; i < length; ++i) {
        if (layout.grouped && i > 0 && (length - i) % 3 == 0)
            text += separators.group;
        text += QLatin1Char(integerDigits[i]);
    }
    if (layout.hasPoint) {
        text += separators.decimal;
        text +=
            QLatin1StringView(fractionDigits.data(), static_cast<qsizetype>(fractionDigits.size()));
    }
    return text;
}

} // namespace

QString MaskFormat::format(std::uint64_t value, QStringView mask, NumberSeparators separators)
{
    std::array<char, 24> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return assemble(std::string(buffer.data(), result.ptr), std::string(), parseMask(mask),
                    separators);
}

QString MaskFormat::formatScaled(std::uint64_t units, int decimals, QStringView mask,
                                 NumberSeparators separators)
{
    std::array<char, 24> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), units);
    std::string digits(buffer.data(), result.ptr);
    const auto shift = static_cast<std::size_t>(std::clamp(decimals, 0, 30));
    // Pad so that at least one digit stays left of the point: 25 scaled by 3 is 0.025.
    if (digits.size() <= shift)
        digits.insert(0, shift + 1 - digits.size(), '0');
    const std::size_t point = digits.size() - shift;
    return assemble(digits.substr(0, point), digits.substr(point), parseMask(mask), separators);
}
