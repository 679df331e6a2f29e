#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include <memory>
#include <utility>

// What a launch reads of the store, once, at start: the entries of one section.
struct SettingsSnapshot
{
    // Empty when the store was read, or is absent (a first launch): then entries holds what
    // it holds. Otherwise why it could not be read, naming where it is: the launch then
    // starts from the defaults and writes nothing back.
    QString unreadable;
    // Key to stored text. An entry that holds the empty text is present.
    QHash<QString, QString> entries;
};

// The per-user persistent store of text entries, addressed by section and key under the
// fixed application name "ZEMRA". A launch reads a section once and saves changed entries in
// transactions: a save sets its entries and leaves everything else in the store as it finds
// it at that moment, including what other programs (or the user, by hand) changed since the
// launch read it.
class SettingsBackend
{
public:
    virtual ~SettingsBackend() = default;

    // The section as it is now.
    [[nodiscard]] virtual SettingsSnapshot read(const QString &section) = 0;

    // One save: sets each (key, value) of changes in section, in order. Returns false when
    // the store refused, with a reason in errorString(); the store is then left as it was.
    [[nodiscard]] virtual bool write(const QString &section,
                                     const QList<std::pair<QString, QString>> &changes) = 0;

    // Why the last failed write failed: names the store and the reason, without a key (the
    // same cause gives the same text, so a caller can report it once).
    [[nodiscard]] virtual QString errorString() const = 0;

    // The file that holds the entries, or an empty text when they are not kept in a file
    // (the Windows registry).
    [[nodiscard]] virtual QString storageFilePath() const { return {}; }
};

// The current user's store: the registry key HKEY_CURRENT_USER\Software\ZEMRA on Windows, the
// file IniFileSettingsBackend::defaultFilePath() elsewhere.
[[nodiscard]] std::unique_ptr<SettingsBackend> createSettingsBackend();
