#pragma once

#include "platform/SettingsBackend.h"

#include <QSettings>

// Settings kept through QSettings, one group per section: on Windows the registry key
// HKEY_CURRENT_USER\Software\ZEMRA (NativeFormat). Elsewhere the INI file is handled by
// IniFileSettingsBackend instead, which keeps what the user wrote by hand.
//
// Each call opens the store afresh, so a failed write is only that write failing: it neither
// hides the entries nor makes later writes look refused, and nothing is removed. A write of
// the text an entry already reads as changes nothing, so entries typed by hand keep their
// registry type (REG_DWORD 1 reads as "1"). Texts are stored as REG_SZ values holding the
// text, except that QSettings doubles a leading '@' (its mark for typed values).
class QSettingsBackend final : public SettingsBackend
{
public:
    QSettingsBackend(QString location, QSettings::Format format);

    [[nodiscard]] std::optional<QString> read(const QString &section, const QString &key) override;
    [[nodiscard]] bool write(const QString &section, const QString &key,
                             const QString &value) override;
    [[nodiscard]] QString errorString() const override { return m_error; }

private:
    QString m_location;
    QSettings::Format m_format;
    QString m_error;
};
