#pragma once

#include "platform/NumberSeparators.h"

// Platform service: the separators the user's locale puts into numbers. The size lines are
// formatted from them by MaskFormat (measure/), which is pure. Never fails.
class NumberLocale
{
public:
    virtual ~NumberLocale() = default;

    [[nodiscard]] virtual NumberSeparators separators() const = 0;
};
