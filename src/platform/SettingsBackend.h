#pragma once

#include <QString>

#include <optional>

// The per-user persistent store of text entries, addressed by section and key under the
// fixed application name "ZEMRA". Every call goes to the backing store at once: a read sees
// what another process wrote a moment ago, and a write is on disk before it returns.
class SettingsBackend
{
public:
    virtual ~SettingsBackend() = default;

    // The stored text, or nullopt when the entry is absent or the store cannot be read.
    // An entry that holds the empty text is present: it reads back as an empty QString.
    [[nodiscard]] virtual std::optional<QString> read(const QString &section,
                                                      const QString &key) = 0;

    // Creates or replaces the entry. Returns false when the store refused the write, with
    // a reason in errorString(); the store is then left as it was before the call.
    [[nodiscard]] virtual bool write(const QString &section, const QString &key,
                                     const QString &value) = 0;

    // Why the last failed write failed.
    [[nodiscard]] virtual QString errorString() const = 0;
    // The file that holds the entries, or an empty text when they are not kept in a file
    // (the Windows registry, the memory double).
    [[nodiscard]] virtual QString storageFilePath() const { return {}; }
};
