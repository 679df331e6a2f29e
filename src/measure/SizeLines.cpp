#include "measure/SizeLines.h"

#include "measure/MaskFormat.h"
#include "platform/NumberLocale.h"

#include <array>

namespace {

struct UnitLine
{
    const char16_t *mask;
    const char16_t *suffix;
};

// Kilobytes to petabytes. The commas after the point in the terabyte and petabyte masks
// only group the placeholders; the fraction itself is rendered without separators.
constexpr std::array<UnitLine, 5> kUnitLines{{
    {u"###,###,##0.###", u" KB"},
    {u"###,##0.###", u" MB"},
    {u"###,###,##0.###", u" GB"},
    {u"###,##0.###,###", u" TB"},
    {u"###,##0.###,###,###", u" PB"},
}};

} // namespace

QStringList SizeLines::lines(std::uint64_t bytes, const NumberLocale &locale)
{
    const NumberSeparators separators = locale.separators();
    QStringList result;
    result.reserve(1 + static_cast<qsizetype>(kUnitLines.size()));
    result.append(bytesLine(bytes, locale));

    // Each unit is the byte count with the decimal point moved three places further left,
    // formatted from the exact decimal: a double would round exact halves by their binary
    // approximation and lose digits above 2^53 bytes.
    int decimals = 0;
    for (const UnitLine &unit : kUnitLines) {
        decimals += 3;
        result.append(
            MaskFormat::formatScaled(bytes, decimals, QString::fromUtf16(unit.mask), separators) +
            QString::fromUtf16(unit.suffix));
    }
    return result;
}

QString SizeLines::bytesLine(std::uint64_t bytes, const NumberLocale &locale)
{
    return MaskFormat::format(bytes, QStringLiteral("###,##0"), locale.separators()) +
           QStringLiteral(" B  ");
}

QString SizeLines::block(const QStringList &lines)
{
    return lines.join(QStringLiteral("\r\n"));
}
