#pragma once

#include "platform/NumberFormatter.h"
#include "platform/NumberSeparators.h"

class QLocale;

// The real NumberFormatter: the separators of a locale, by default the user's locale for
// numbers as QLocale::system() reads it (LC_ALL, then LC_NUMERIC, then LANG). The
// separators are read once, when the formatter is made.
class LocaleNumberFormatter final : public NumberFormatter
{
public:
    LocaleNumberFormatter();
    explicit LocaleNumberFormatter(const QLocale &locale);

    [[nodiscard]] QString format(std::uint64_t value, const QString &mask) const override;
    [[nodiscard]] QString format(double value, const QString &mask) const override;
    [[nodiscard]] QString formatScaled(std::uint64_t units, int decimals,
                                       const QString &mask) const override;

    [[nodiscard]] NumberSeparators separators() const { return m_separators; }

    // The locale's thousands and decimal separators. A separator the locale does not give
    // as exactly one character, or a pair that would be indistinguishable, falls back to
    // comma and point.
    [[nodiscard]] static NumberSeparators separatorsOf(const QLocale &locale);

private:
    NumberSeparators m_separators;
};
