#pragma once

#include "platform/NumberLocale.h"

// Test double for NumberLocale: separators given by the test instead of read from the
// user's locale (comma and point by default).
class FixedNumberLocale final : public NumberLocale
{
public:
    explicit FixedNumberLocale(NumberSeparators separators = {}) : m_separators(separators) {}

    [[nodiscard]] NumberSeparators separators() const override { return m_separators; }

private:
    NumberSeparators m_separators;
};
