#pragma once

#include "platform/NumberFormatter.h"
#include "platform/NumberSeparators.h"

// Test double for NumberFormatter: the same mask engine as the real one, with separators
// given by the test instead of read from the user's locale.
class FixedNumberFormatter final : public NumberFormatter
{
public:
    explicit FixedNumberFormatter(NumberSeparators separators = {}) : m_separators(separators) {}

    [[nodiscard]] QString format(std::uint64_t value, const QString &mask) const override;
    [[nodiscard]] QString format(double value, const QString &mask) const override;
    [[nodiscard]] QString formatScaled(std::uint64_t units, int decimals,
                                       const QString &mask) const override;

private:
    NumberSeparators m_separators;
};
