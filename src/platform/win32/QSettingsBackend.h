#pragma once

#include "platform/SettingsBackend.h"

#include <QSettings>

// Settings kept through QSettings, one group per section: on Windows the registry key
// HKEY_CURRENT_USER\Software\ZEMRA (NativeFormat). Elsewhere the INI file is handled by
// IniFileSettingsBackend instead, which keeps what the user wrote by hand.
//
// Each call opens the store afresh, so a failed save is only that save failing: it neither
// hides the entries nor makes later saves look refused, and nothing is removed. A save sets
// only its own values, so entries changed by others meanwhile keep their change.
class QSettingsBackend final : public SettingsBackend
{
public:
    QSettingsBackend(QString location, QSettings::Format format);

    [[nodiscard]] SettingsSnapshot read(const QString &section) override;
    [[nodiscard]] bool write(const QString &section,
                             const QList<std::pair<QString, QString>> &changes) override;
    [[nodiscard]] QString errorString() const override { return m_error; }

private:
    QString m_location;
    QSettings::Format m_format;
    QString m_error;
};
