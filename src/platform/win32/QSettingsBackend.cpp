#include "platform/win32/QSettingsBackend.h"

#include <QSettings>

using namespace Qt::Literals::StringLiterals;

namespace {

QString entryPath(const QString &section, const QString &key)
{
    return section + u'/' + key;
}

} // namespace

QSettingsBackend::QSettingsBackend(QString location, QSettings::Format format)
    : m_location(std::move(location)), m_format(format)
{}

std::optional<QString> QSettingsBackend::read(const QString &section, const QString &key)
{
    QSettings settings(m_location, m_format);
    // Without this an absent key could be answered from a machine-wide store.
    settings.setFallbacksEnabled(false);
    const QString path = entryPath(section, key);
    if (!settings.contains(path))
        return std::nullopt;
    return settings.value(path).toString();
}

bool QSettingsBackend::write(const QString &section, const QString &key, const QString &value)
{
    // A fresh QSettings per write: QSettings keeps the first error it met in status(), so a
    // long-lived one would report every later write as failed.
    QSettings settings(m_location, m_format);
    settings.setFallbacksEnabled(false);
    const QString path = entryPath(section, key);
    // An entry that already reads as the text is left alone: a value typed by hand keeps
    // its form (a tick entered as a DWORD stays one), and nothing is written for nothing.
    if (settings.contains(path) && settings.value(path).toString() == value)
        return true;
    settings.setValue(path, value);
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return true;
    m_error = u"cannot save %1 in %2: %3"_s.arg(
        path, m_location,
        settings.status() == QSettings::AccessError ? u"access denied"_s : u"format error"_s);
    return false;
}
