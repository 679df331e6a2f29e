#include "platform/IniFileSettingsBackend.h"

// Where the platform has no settings store of its own: the per-user INI file.
std::unique_ptr<SettingsBackend> createSettingsBackend()
{
    return std::make_unique<IniFileSettingsBackend>(IniFileSettingsBackend::defaultFilePath());
}
