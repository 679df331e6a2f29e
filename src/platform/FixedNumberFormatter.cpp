#include "platform/FixedNumberFormatter.h"

#include "platform/MaskFormat.h"

QString FixedNumberFormatter::format(std::uint64_t value, const QString &mask) const
{
    return MaskFormat::format(value, mask, m_separators);
}

QString FixedNumberFormatter::formatScaled(std::uint64_t units, int decimals,
                                           const QString &mask) const
{
    return MaskFormat::formatScaled(units, decimals, mask, m_separators);
}

QString FixedNumberFormatter::format(double value, const QString &mask) const
{
    return MaskFormat::format(value, mask, m_separators);
}
