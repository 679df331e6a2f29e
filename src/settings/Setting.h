#pragma once

#include <QLatin1StringView>

#include <array>

// Every entry the program keeps in the settings store. The keys, value forms and defaults
// are in settingEntries() and nowhere else.
enum class Setting {
    MainLeft,
    MainTop,
    MainWidth,
    MainHeight,
    AlwaysOnTopTick,
    AutoStartTick,
    AutoCloseTick,
    UseFileTick,
    UseFolderTick,
    TargetPath,
    LogFilePath,
    AboutLeft,
    AboutTop,
    AboutWidth,
    AboutHeight,
    LogWindowLeft,
    LogWindowTop,
    LogWindowWidth,
    LogWindowHeight,
    HistoryLeft,
    HistoryTop,
    HistoryWidth,
    HistoryHeight,
};

// How an entry's text is read and written.
//  Geometry: twips as a single-precision number, written as plain decimal text.
//  Tick:     a tickbox state, 0 unticked, 1 ticked, 2 grey, written as a decimal integer.
//  Path:     a text box's whole content, verbatim.
enum class ValueForm { Geometry, Tick, Path };

struct SettingEntry
{
    Setting setting;
    QLatin1StringView key;
    ValueForm form;
    QLatin1StringView defaultText;
};

// Whether a geometry entry holds a window's width or height rather than its left or top edge.
[[nodiscard]] bool isWindowExtent(Setting setting);

// How many entries there are.
constexpr std::size_t SettingCount = 23;

// The table, in the order of Setting.
[[nodiscard]] const std::array<SettingEntry, SettingCount> &settingEntries();
[[nodiscard]] const SettingEntry &settingEntry(Setting setting);
