#pragma once

#include "settings/Setting.h"

#include <QSet>
#include <QString>

#include <array>
#include <optional>
#include <vector>

class SettingsBackend;

// The program's settings: typed reads and writes of the entries in settingEntries(), in
// the section named after the executable.
//
// The section is read once, when the store is made; every read answers from that snapshot
// and from what this launch wrote since. Writes are kept until save(), which sends the
// backend, in one transaction, only the entries whose value this launch changed since it
// read them or since its last save: an entry edited by hand (or by another copy of the
// program) while this launch runs keeps that edit unless this launch changed it too.
// Values are compared by their value form, so "01" and "1" are the same tick; an entry that
// was absent counts as changed by any write.
//
// A read never fails: an absent entry, an unreadable store or stored text that does not
// convert to the entry's value form yields the entry's default. A geometry value counts as
// convertible only when it could belong to a real window: a left or top edge within
// SettingValue::MaxWindowTwips, a width or height above 0 and within it.
//
// When the store could not be read, the launch runs on the defaults and save() writes
// nothing (it would replace what the user has with defaults). A save the backend refuses is
// reported on standard error, each distinct reason once per launch, and its changes are
// kept for the next save; the program goes on.
class SettingsStore
{
public:
    // Reads the section of backend, which must outlive the store.
    SettingsStore(SettingsBackend &backend, QString section);

    // Empty when the store was read (or absent); otherwise why it could not be read, naming
    // where it is.
    [[nodiscard]] const QString &unreadable() const { return m_unreadable; }

    // The stored text converted by the entry's value form, as text again.
    [[nodiscard]] QString readText(Setting setting) const;
    // The entry's text exactly as stored (or written by this launch), convertible or not;
    // nullopt when it is absent.
    [[nodiscard]] std::optional<QString> readStoredText(Setting setting) const;
    // What readText() answers for an entry that holds stored: the stored text when it
    // converts, else the entry's default. Pure.
    [[nodiscard]] static QString usableText(Setting setting, const std::optional<QString> &stored);

    [[nodiscard]] float readGeometry(Setting setting) const;
    // A geometry entry read once: its text as stored (nullopt when absent), and its value in
    // twips (the default when absent or unusable).
    struct GeometryEntry
    {
        std::optional<QString> storedText;
        float twips = 0;
    };
    [[nodiscard]] GeometryEntry readGeometryEntry(Setting setting) const;
    // A geometry entry's default from the settings table, in twips. Pure.
    [[nodiscard]] static float defaultGeometry(Setting setting);
    [[nodiscard]] qint16 readTick(Setting setting) const;
    [[nodiscard]] QString readPath(Setting setting) const { return readText(setting); }

    // This launch's value for an entry, kept until save().
    void writeText(Setting setting, const QString &text);
    void writeGeometry(Setting setting, float twips);
    void writeTick(Setting setting, qint16 value);
    void writePath(Setting setting, const QString &path) { writeText(setting, path); }

    // Saves the changed entries in one transaction. Returns true when nothing needed saving
    // or the backend took it; false when the store is unreadable or the backend refused.
    bool save();
    // The launch's last save (the main window's unload): as save(), but a transaction the
    // backend refuses is sent once more before the refusal is reported, since no later save
    // would carry its changes (a lock that other launches kept taken may be free by then).
    bool saveLast();

    // The file that holds the settings, or an empty text when they are not kept in a file.
    [[nodiscard]] QString storageFilePath() const;

    // Whether stored text and value mean the same for the entry (see the class comment).
    // Pure.
    [[nodiscard]] static bool sameValue(Setting setting, const std::optional<QString> &stored,
                                        const QString &value);

private:
    bool save(int attempts);

    SettingsBackend &m_backend;
    QString m_section;
    QString m_unreadable;
    // What the store holds as far as this launch knows: what it read, then what it saved.
    std::array<std::optional<QString>, SettingCount> m_stored;
    // What this launch wrote since its last save, in the order of the first write.
    std::array<std::optional<QString>, SettingCount> m_written;
    std::vector<Setting> m_writeOrder;
    QSet<QString> m_reported;
};
