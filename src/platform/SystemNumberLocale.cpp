#include "platform/SystemNumberLocale.h"

#include <QLocale>

SystemNumberLocale::SystemNumberLocale() : SystemNumberLocale(QLocale::system()) {}

SystemNumberLocale::SystemNumberLocale(const QLocale &locale) : m_separators(separatorsOf(locale))
{}

NumberSeparators SystemNumberLocale::separatorsOf(const QLocale &locale)
{
    // Qt gives separators as strings; a few locales could in principle use several code
    // units, which a one-character separator cannot hold.
    const QString group = locale.groupSeparator();
    const QString decimal = locale.decimalPoint();
    if (group.size() != 1 || decimal.size() != 1 || group == decimal)
        return NumberSeparators{};
    return NumberSeparators{group.front(), decimal.front()};
}
