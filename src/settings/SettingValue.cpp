#include "settings/SettingValue.h"

#include <charconv>
#include <cmath>

std::optional<float> SettingValue::parseGeometry(const QString &text)
{
    bool ok = false;
    const float value = text.trimmed().toFloat(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<float> SettingValue::parseWindowEdge(const QString &text)
{
    const std::optional<float> value = parseGeometry(text);
    if (!value || std::fabs(*value) > MaxWindowTwips)
        return std::nullopt;
    return value;
}

std::optional<float> SettingValue::parseWindowExtent(const QString &text)
{
    const std::optional<float> value = parseGeometry(text);
    if (!value || *value <= 0.0f || *value > MaxWindowTwips)
        return std::nullopt;
    return value;
}

QString SettingValue::formatGeometry(float twips)
{
    // Fixed notation with the fewest digits that round-trip; "-0" would read back the same
    // but looks like a fault in the file.
    if (twips == 0.0f)
        twips = 0.0f;
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, twips, std::chars_format::fixed);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

std::optional<qint16> SettingValue::parseTick(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < 0 || value > 2)
        return std::nullopt;
    return static_cast<qint16>(value);
}

QString SettingValue::formatTick(qint16 value)
{
    return QString::number(value);
}
