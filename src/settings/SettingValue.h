#pragma once

#include <QString>

#include <optional>

// Conversions between an entry's stored text and its value. Pure functions.
class SettingValue
{
public:
    // "1000", "-1200.5": a finite single-precision number, or nullopt for anything else
    // (empty text, words, "nan", "inf", a value out of float range).
    [[nodiscard]] static std::optional<float> parseGeometry(const QString &text);

    // The largest magnitude a stored position, width or height may have: 32767 pixels at 15
    // twips to the pixel, the limit of X11's window coordinates and far beyond any desktop
    // in use. Anything larger cannot be a window the user saw.
    static constexpr float MaxWindowTwips = 32767.0f * 15.0f;

    // A window's left or top edge: a geometry value within +-MaxWindowTwips, else nullopt.
    [[nodiscard]] static std::optional<float> parseWindowEdge(const QString &text);
    // A window's width or height: a geometry value above 0 and at most MaxWindowTwips.
    [[nodiscard]] static std::optional<float> parseWindowExtent(const QString &text);

    // The shortest plain decimal text that reads back as the same float: "1000", "-1200",
    // "1234.5"; never an exponent, never a ".0" on a whole number.
    [[nodiscard]] static QString formatGeometry(float twips);

    // A tick value 0, 1 or 2, or nullopt for any other text.
    [[nodiscard]] static std::optional<qint16> parseTick(const QString &text);
    [[nodiscard]] static QString formatTick(qint16 value);
};
