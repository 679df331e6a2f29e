#pragma once

#include <QString>

#include <optional>

// Conversions between an entry's stored text and its value. Pure functions.
namespace SettingValue {

// "1000", "-1200.5": a finite single-precision number, or nullopt for anything else
// (empty text, words, "nan", "inf", a value out of float range).
[[nodiscard]] std::optional<float> parseGeometry(const QString &text);

// The largest magnitude a stored position, width or height may have: 32767 pixels at 15
// twips to the pixel, the limit of X11's window coordinates and far beyond any desktop
// in use. Anything larger cannot be a window the user saw.
inline constexpr float MaxWindowTwips = 32767.0f * 15.0f;

// A window's left or top edge: a geometry value within +-MaxWindowTwips, else nullopt.
[[nodiscard]] std::optional<float> parseWindowEdge(const QString &text);
// A window's width or height: a geometry value above 0 and at most MaxWindowTwips.
[[nodiscard]] std::optional<float> parseWindowExtent(const QString &text);

// The shortest plain decimal text that reads back as the same float: "1000", "-1200",
// "1234.5"; never an exponent, never a ".0" on a whole number.
[[nodiscard]] QString formatGeometry(float twips);

// A tick value 0, 1 or 2, or nullopt for any other text.
[[nodiscard]] std::optional<qint16> parseTick(const QString &text);
[[nodiscard]] QString formatTick(qint16 value);

} // namespace SettingValue
