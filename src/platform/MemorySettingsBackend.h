#pragma once

#include "platform/SettingsBackend.h"

#include <QHash>
#include <QStringList>

// Test double: entries in memory. Records every write in order, and can be told to refuse
// writes, to see how callers react to a failing store.
class MemorySettingsBackend final : public SettingsBackend
{
public:
    [[nodiscard]] std::optional<QString> read(const QString &section, const QString &key) override;
    [[nodiscard]] bool write(const QString &section, const QString &key,
                             const QString &value) override;
    [[nodiscard]] QString errorString() const override { return m_error; }

    // Puts an entry in place without recording it as a write.
    void seed(const QString &section, const QString &key, const QString &value);
    void setFailWrites(bool fail) { m_failWrites = fail; }

    // The keys written so far, in order, as "section/key".
    [[nodiscard]] const QStringList &writeLog() const { return m_writeLog; }
    void clearWriteLog() { m_writeLog.clear(); }

private:
    QHash<QString, QString> m_entries;
    QStringList m_writeLog;
    QString m_error;
    bool m_failWrites = false;
};
