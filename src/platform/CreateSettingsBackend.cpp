#include "platform/SettingsBackend.h"

#ifdef Q_OS_WIN
#include "platform/QSettingsBackend.h"
#else
#include "platform/IniFileSettingsBackend.h"
#endif

std::unique_ptr<SettingsBackend> createSettingsBackend()
{
#ifdef Q_OS_WIN
    return std::make_unique<QSettingsBackend>(QStringLiteral("HKEY_CURRENT_USER\\Software\\ZEMRA"),
                                              QSettings::NativeFormat);
#else
    return std::make_unique<IniFileSettingsBackend>(IniFileSettingsBackend::defaultFilePath());
#endif
}
