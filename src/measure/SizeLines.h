#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

class NumberFormatter;

// The six size lines of a byte count and the size block they make. Units are decimal:
// each unit is 1000 times the one before.
class SizeLines
{
public:
    // The lines for bytes, kilobytes, megabytes, gigabytes, terabytes and petabytes, in that
    // order: each value formatted with its mask, followed by its suffix (" B  " with two
    // trailing blanks, then " KB", " MB", " GB", " TB", " PB"). The bytes line is formatted
    // from the exact count; each further unit value is the previous one divided by 1000 as
    // a double, unrounded until it is formatted.
    [[nodiscard]] static QStringList lines(std::uint64_t bytes, const NumberFormatter &formatter);

    // The lines joined by CR LF, with no line end after the last.
    [[nodiscard]] static QString block(const QStringList &lines);
};
