#include "platform/LocaleNumberFormatter.h"

#include "platform/MaskFormat.h"

#include <QLocale>

LocaleNumberFormatter::LocaleNumberFormatter() : LocaleNumberFormatter(QLocale::system()) {}

LocaleNumberFormatter::LocaleNumberFormatter(const QLocale &locale)
    : m_separators(separatorsOf(locale))
{}

QString LocaleNumberFormatter::format(std::uint64_t value, const QString &mask) const
{
    return MaskFormat::format(value, mask, m_separators);
}

QString LocaleNumberFormatter::formatScaled(std::uint64_t units, int decimals,
                                            const QString &mask) const
{
    return MaskFormat::formatScaled(units, decimals, mask, m_separators);
}

QString LocaleNumberFormatter::format(double value, const QString &mask) const
{
    return MaskFormat::format(value, mask, m_separators);
}

NumberSeparators LocaleNumberFormatter::separatorsOf(const QLocale &locale)
{
    // Qt gives separators as strings; a few locales could in principle use several code
    // units, which a one-character separator cannot hold.
    const QString group = locale.groupSeparator();
    const QString decimal = locale.decimalPoint();
    if (group.size() != 1 || decimal.size() != 1 || group == decimal)
        return NumberSeparators{};
    return NumberSeparators{group.front(), decimal.front()};
}
