#include "platform/win32/QSettingsBackend.h"

#include <QSettings>

std::unique_ptr<SettingsBackend> createSettingsBackend()
{
    return std::make_unique<QSettingsBackend>(QStringLiteral("HKEY_CURRENT_USER\\Software\\ZEMRA"),
                                              QSettings::NativeFormat);
}
