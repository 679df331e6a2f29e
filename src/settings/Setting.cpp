#include "settings/Setting.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr std::array<SettingEntry, SettingCount> kEntries{{
    {Setting::MainLeft, "MAIN-Left"_L1, ValueForm::Geometry, "1000"_L1},
    {Setting::MainTop, "MAIN-Top"_L1, ValueForm::Geometry, "1000"_L1},
    {Setting::MainWidth, "MAIN-Width"_L1, ValueForm::Geometry, "5400"_L1},
    {Setting::MainHeight, "MAIN-Height"_L1, ValueForm::Geometry, "4215"_L1},
    {Setting::AlwaysOnTopTick, "AlwaysOnTopTimer_TICKBOX"_L1, ValueForm::Tick, "1"_L1},
    {Setting::AutoStartTick, "AUTOSTART_TICKBOX"_L1, ValueForm::Tick, "0"_L1},
    {Setting::AutoCloseTick, "AUTOCLOSE_TICKBOX"_L1, ValueForm::Tick, "0"_L1},
    {Setting::UseFileTick, "USE_FILE_TICKBOX"_L1, ValueForm::Tick, "0"_L1},
    {Setting::UseFolderTick, "USE_FOLDER_TICKBOX"_L1, ValueForm::Tick, "0"_L1},
    {Setting::TargetPath, "FF_LOCATION_TEXTBOX"_L1, ValueForm::Path, ""_L1},
    {Setting::LogFilePath, "LOGFILE_TEXTBOX"_L1, ValueForm::Path, ""_L1},
    {Setting::AboutLeft, "ABOUT-Left"_L1, ValueForm::Geometry, "1000"_L1},
    {Setting::AboutTop, "ABOUT-Top"_L1, ValueForm::Geometry, "1000"_L1},
    {Setting::AboutWidth, "ABOUT-Width"_L1, ValueForm::Geometry, "6000"_L1},
    {Setting::AboutHeight, "ABOUT-Height"_L1, ValueForm::Geometry, "2880"_L1},
    {Setting::LogWindowLeft, "LOG_WINDOW-Left"_L1, ValueForm::Geometry, "1000"_L1},
    {Setting::LogWindowTop, "LOG_WINDOW-Top"_L1, ValueForm::Geometry, "1000"_L1},
    {Setting::LogWindowWidth, "LOG_WINDOW-Width"_L1, ValueForm::Geometry, "7100"_L1},
    {Setting::LogWindowHeight, "LOG_WINDOW-Height"_L1, ValueForm::Geometry, "5835"_L1},
    {Setting::HistoryLeft, "HISTORY-Left"_L1, ValueForm::Geometry, "1000"_L1},
    {Setting::HistoryTop, "HISTORY-Top"_L1, ValueForm::Geometry, "1000"_L1},
    {Setting::HistoryWidth, "HISTORY-Width"_L1, ValueForm::Geometry, "11490"_L1},
    {Setting::HistoryHeight, "HISTORY-Height"_L1, ValueForm::Geometry, "6975"_L1},
}};

// settingEntry() indexes the table by the enum's value.
constexpr bool rowsInEnumOrder()
{
    for (std::size_t i = 0; i < kEntries.size(); ++i) {
        if (static_cast<std::size_t>(kEntries[i].setting) != i)
            return false;
    }
    return static_cast<std::size_t>(Setting::HistoryHeight) + 1 == kEntries.size();
}
static_assert(rowsInEnumOrder(), "the settings table has one row per Setting, in enum order");

} // namespace

const std::array<SettingEntry, SettingCount> &settingEntries()
{
    return kEntries;
}

const SettingEntry &settingEntry(Setting setting)
{
    return settingEntries()[static_cast<std::size_t>(setting)];
}

bool isWindowExtent(Setting setting)
{
    switch (setting) {
    case Setting::MainWidth:
    case Setting::MainHeight:
    case Setting::AboutWidth:
    case Setting::AboutHeight:
    case Setting::LogWindowWidth:
    case Setting::LogWindowHeight:
    case Setting::HistoryWidth:
    case Setting::HistoryHeight:
        return true;
    default:
        return false;
    }
}
