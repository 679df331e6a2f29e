#include "platform/win32/QSettingsBackend.h"

#include <QSettings>

using namespace Qt::Literals::StringLiterals;

namespace {

QString statusText(QSettings::Status status)
{
    return status == QSettings::AccessError ? u"access denied"_s : u"format error"_s;
}

} // namespace

QSettingsBackend::QSettingsBackend(QString location, QSettings::Format format)
    : m_location(std::move(location)), m_format(format)
{}

SettingsSnapshot QSettingsBackend::read(const QString &section)
{
    SettingsSnapshot snapshot;
    QSettings settings(m_location, m_format);
    // Without this an absent key could be answered from a machine-wide store.
    settings.setFallbacksEnabled(false);
    if (settings.status() != QSettings::NoError) {
        snapshot.unreadable =
            u"cannot read the settings in %1: %2"_s.arg(m_location, statusText(settings.status()));
        return snapshot;
    }
    settings.beginGroup(section);
    for (const QString &key : settings.childKeys())
        snapshot.entries.insert(key, settings.value(key).toString());
    return snapshot;
}

bool QSettingsBackend::write(const QString &section,
                             const QList<std::pair<QString, QString>> &changes)
{
    // A fresh QSettings per save: QSettings keeps the first error it met in status(), so a
    // long-lived one would report every later save as failed.
    QSettings settings(m_location, m_format);
    settings.setFallbacksEnabled(false);
    settings.beginGroup(section);
    for (const auto &[key, value] : changes)
        settings.setValue(key, value);
    settings.endGroup();
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return true;
    m_error = u"cannot save the settings in %1\\%2: %3"_s.arg(m_location, section,
                                                              statusText(settings.status()));
    return false;
}
