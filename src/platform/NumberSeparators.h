#pragma once

#include <QChar>

// The two characters a number mask inserts for "," and ".": the thousands separator
// between groups of the integer part and the decimal separator before the fraction.
struct NumberSeparators
{
    QChar group = u',';
    QChar decimal = u'.';
};
