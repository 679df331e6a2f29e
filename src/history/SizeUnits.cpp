#include "history/SizeUnits.h"

#include <QLocale>

#include <array>
#include <cmath>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr std::array<QLatin1StringView, 6> kSymbols{"B"_L1,  "KB"_L1, "MB"_L1,
                                                    "GB"_L1, "TB"_L1, "PB"_L1};
constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

// value * 10 + digit, or false when it would pass 2^64 - 1.
bool appendDigit(std::uint64_t &value, int digit)
{
    if (value > (kMax - static_cast<std::uint64_t>(digit)) / 10)
        return false;
    value = value * 10 + static_cast<std::uint64_t>(digit);
    return true;
}

// The number with three decimals at most, trailing zeros (and a bare separator) dropped.
QString threeDecimals(double value, QChar decimal)
{
    QString text = QLocale::c().toString(value, 'f', 3);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    if (text == "-0"_L1)
        text = u"0"_s;
    text.replace(u'.', decimal);
    return text;
}

} // namespace

double SizeUnits::Unit::divisor() const
{
    return std::pow(1000.0, power);
}

SizeUnits::Unit SizeUnits::unitFor(std::uint64_t largestBytes)
{
    int power = 0;
    std::uint64_t scale = 1000;
    while (power + 1 < static_cast<int>(kSymbols.size()) && largestBytes >= scale) {
        ++power;
        if (scale > kMax / 1000)
            break;
        scale *= 1000;
    }
    return {power, kSymbols[static_cast<std::size_t>(power)]};
}

std::optional<std::uint64_t> SizeUnits::parse(QStringView text)
{
    text = text.trimmed();
    qsizetype at = 0;
    const qsizetype length = text.size();
    std::uint64_t whole = 0;
    QString fraction;
    bool digits = false;
    for (; at < length && text[at].isDigit() && text[at].unicode() < 128; ++at) {
        digits = true;
        if (!appendDigit(whole, text[at].unicode() - '0'))
            return std::nullopt;
    }
    if (at < length && text[at] == u'.') {
        for (++at; at < length && text[at].isDigit() && text[at].unicode() < 128; ++at)
            fraction.append(text[at]);
        digits = digits || !fraction.isEmpty();
    }
    if (!digits)
        return std::nullopt;
    while (at < length && text[at] == u' ')
        ++at;
    const QStringView symbol = text.mid(at);
    int power = -1;
    if (symbol.isEmpty())
        power = 0;
    for (std::size_t i = 0; i < kSymbols.size() && power < 0; ++i) {
        if (symbol.compare(kSymbols[i], Qt::CaseInsensitive) == 0)
            power = static_cast<int>(i);
    }
    if (power < 0)
        return std::nullopt;

    // whole and fraction scaled by 1000^power, exactly; the first fractional digit beyond a
    // byte rounds.
    std::uint64_t bytes = whole;
    const qsizetype places = 3 * static_cast<qsizetype>(power);
    for (qsizetype i = 0; i < places; ++i) {
        const int digit = i < fraction.size() ? fraction[i].unicode() - '0' : 0;
        if (bytes > kMax / 10)
            return std::nullopt;
        bytes *= 10;
        if (bytes > kMax - static_cast<std::uint64_t>(digit))
            return std::nullopt;
        bytes += static_cast<std::uint64_t>(digit);
    }
    if (places < fraction.size() && fraction[places].unicode() >= '5') {
        if (bytes == kMax)
            return std::nullopt;
        ++bytes;
    }
    return bytes;
}

QString SizeUnits::compact(std::uint64_t bytes, QChar decimal)
{
    Unit unit = unitFor(bytes);
    const double shown = static_cast<double>(bytes) / unit.divisor();
    // 999.9996 KB shows as 1 MB, not as 1000 KB.
    const auto next = static_cast<std::size_t>(unit.power) + 1;
    if (next < kSymbols.size() && std::round(shown * 1000) >= 1e6)
        unit = {unit.power + 1, kSymbols[next]};
    return threeDecimals(static_cast<double>(bytes) / unit.divisor(), decimal) + u' ' + unit.symbol;
}

QString SizeUnits::signedCompact(double bytes, QChar decimal)
{
    const double magnitude = std::fabs(bytes);
    const std::uint64_t rounded =
        magnitude >= 1.8e19 ? kMax : static_cast<std::uint64_t>(std::round(magnitude));
    QString text = compact(rounded, decimal);
    if (rounded == 0)
        return text;
    return (bytes < 0 ? u"-"_s : u"+"_s) + text;
}
