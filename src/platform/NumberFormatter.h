#pragma once

#include <QString>

#include <cstdint>

// Platform service that renders a number as text under a mask, with the separators of the
// user's locale. The mask language is the subset described in MaskFormat.h. Never fails.
class NumberFormatter
{
public:
    virtual ~NumberFormatter() = default;

    // Formats an exact count; it never passes through a double, so every digit is kept.
    [[nodiscard]] virtual QString format(std::uint64_t value, const QString &mask) const = 0;

    // Formats a double, rounding its exact binary value as MaskFormat describes.
    [[nodiscard]] virtual QString format(double value, const QString &mask) const = 0;

    // Formats the exact decimal units / 10^decimals (see MaskFormat::formatScaled).
    [[nodiscard]] virtual QString formatScaled(std::uint64_t units, int decimals,
                                               const QString &mask) const = 0;
};
