#pragma once

#include <QChar>
#include <QLatin1StringView>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

// The program's six decimal size units (B, KB, MB, GB, TB, PB; each 1000 times the one
// before) as the size history and its alarms read and write them. Pure.
namespace SizeUnits {

struct Unit
{
    int power = 0; // the unit is 1000^power bytes
    QLatin1StringView symbol;
    [[nodiscard]] double divisor() const;
};

// The unit a set of sizes is best shown in: the largest one in which the largest size is at
// least 1 (bytes below 1000 B).
[[nodiscard]] Unit unitFor(std::uint64_t largestBytes);

// A size as a person writes it (blanks around it ignored): a number, optionally with a fraction
// ("." as the decimal separator), optionally followed by blanks and a unit symbol in any letter
// case ("500GB", "2 TB", "1.5tb", "123" for bytes). Fractions of a byte are rounded half up.
// nullopt for anything else: an empty text, a sign, an exponent, an unknown unit (KiB), or a size
// beyond 2^64 - 1 bytes.
[[nodiscard]] std::optional<std::uint64_t> parse(QStringView text);

// A size in the unit unitFor() picks, with up to three decimals and no trailing zeros:
// "612.345 GB", "500 GB", "999 B". decimal: the decimal separator.
[[nodiscard]] QString compact(std::uint64_t bytes, QChar decimal = u'.');

// A signed amount of bytes (a growth) the same way, with its sign: "+1.5 MB", "-20 KB", "0 B".
[[nodiscard]] QString signedCompact(double bytes, QChar decimal = u'.');

} // namespace SizeUnits
