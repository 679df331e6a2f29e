#pragma once

#include "settings/Setting.h"

#include <QString>

#include <optional>

class SettingsBackend;

// The program's settings: typed reads and writes of the entries in settingEntries(), in
// the section named after the executable. Each call reads or writes the backing store at
// once; nothing is cached.
//
// A read never fails: an absent entry, an unreadable store or stored text that does not
// convert to the entry's value form yields the entry's default. A geometry value counts as
// convertible only when it could belong to a real window: a left or top edge within
// SettingValue::MaxWindowTwips, a width or height above 0 and within it. A write that the store
// refuses is reported on standard error and returns false; the program goes on.
class SettingsStore
{
public:
    SettingsStore(SettingsBackend &backend, QString section);

    // The stored text converted by the entry's value form, as text again: what read()
    // and write() exchange with the backend.
    [[nodiscard]] QString readText(Setting setting) const;
    // The entry's text exactly as stored, convertible or not; nullopt when it is absent.
    [[nodiscard]] std::optional<QString> readStoredText(Setting setting) const;
    // What readText() answers for an entry that holds stored: the stored text when it
    // converts, else the entry's default. Pure.
    [[nodiscard]] static QString usableText(Setting setting, const std::optional<QString> &stored);
    bool writeText(Setting setting, const QString &text);

    [[nodiscard]] float readGeometry(Setting setting) const;
    bool writeGeometry(Setting setting, float twips);
    [[nodiscard]] qint16 readTick(Setting setting) const;
    bool writeTick(Setting setting, qint16 value);
    [[nodiscard]] QString readPath(Setting setting) const { return readText(setting); }
    bool writePath(Setting setting, const QString &path) { return writeText(setting, path); }

    // The file that holds the settings, or an empty text when they are not kept in a file.
    [[nodiscard]] QString storageFilePath() const;

private:
    SettingsBackend &m_backend;
    QString m_section;
};
