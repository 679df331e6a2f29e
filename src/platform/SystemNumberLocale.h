#pragma once

#include "platform/NumberLocale.h"

class QLocale;

// The real NumberLocale: the separators of a locale, by default the user's locale for
// numbers as QLocale::system() reads it (LC_ALL, then LC_NUMERIC, then LANG). The
// separators are read once, when the object is made.
class SystemNumberLocale final : public NumberLocale
{
public:
    SystemNumberLocale();
    explicit SystemNumberLocale(const QLocale &locale);

    [[nodiscard]] NumberSeparators separators() const override { return m_separators; }

    // The locale's thousands and decimal separators. A separator the locale does not give
    // as exactly one character, or a pair that would be indistinguishable, falls back to
    // comma and point.
    [[nodiscard]] static NumberSeparators separatorsOf(const QLocale &locale);

private:
    NumberSeparators m_separators;
};
