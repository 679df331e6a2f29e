#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

class NumberLocale;

// The six size lines of a byte count and the size block they make. Units are decimal:
// each unit is 1000 times the one before.
namespace SizeLines {

// The lines for bytes, kilobytes, megabytes, gigabytes, terabytes and petabytes, in that
// order: each value formatted with its mask, followed by its suffix (" B  " with two
// trailing blanks, then " KB", " MB", " GB", " TB", " PB"). Every line is formatted
// from the exact 64-bit count: each unit value is the exact decimal count / 1000^n,
// rounded once, half away from zero, at the mask's last placeholder (4,500 B gives
// "0.005 MB"), also above 2^53 bytes.
[[nodiscard]] QStringList lines(std::uint64_t bytes, const NumberLocale &locale);

// The first of those lines alone: the byte count, as the progress display shows it.
[[nodiscard]] QString bytesLine(std::uint64_t bytes, const NumberLocale &locale);

// The lines joined by CR LF, with no line end after the last.
[[nodiscard]] QString block(const QStringList &lines);

} // namespace SizeLines
