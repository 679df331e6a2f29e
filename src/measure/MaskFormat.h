#pragma once

#include "platform/NumberSeparators.h"

#include <QString>
#include <QStringView>

#include <cstdint>

// The mask engine of the size lines, pure and independent of any locale: the caller
// passes the separators.
//
// Mask language (the subset the size lines use):
// - The first "." is the decimal point; it is always shown as separators.decimal, even
//   when no fractional digit remains ("0." for zero under "##0.###").
// - Left of the point, "0" is a digit that is always shown and "#" one shown only when
//   significant. The integer part is always shown whole however many digits it has; the
//   number of "0" placeholders is its minimum width (padded with zeros).
// - A "," with a placeholder on either side, left of the point, groups the whole integer
//   part in threes from the right with separators.group.
// - Right of the point, every "0" or "#" is one fractional digit; "," there is ignored.
//   The fraction is rounded to that many digits, then trailing zeros are dropped down to
//   the number of "0" placeholders after the point.
// - Any other character is ignored. Digits are always ASCII.
//
// Rounding: the exact decimal value of the argument is rounded half away from zero at the
// last placeholder (0.0625 under "0.###" gives "0.063"). Only whole numbers are taken, so
// no binary floating point is ever involved. A rounding carry moves into the integer part
// (0.9996 gives "1.").
namespace MaskFormat {

[[nodiscard]] QString format(std::uint64_t value, QStringView mask, NumberSeparators separators);

// The exact decimal value units / 10^decimals (decimals from 0 to 30), rounded half away
// from zero at the last placeholder. No binary floating point is involved, so every
// 64-bit count and every exact half rounds as a person checking by hand would round it.
[[nodiscard]] QString formatScaled(std::uint64_t units, int decimals, QStringView mask,
                                   NumberSeparators separators);

} // namespace MaskFormat
