#pragma once

#include "app/MainController.h"
#include "platform/doubles/FakeSizeQuery.h"
#include "platform/doubles/FakeWorkQueue.h"
#include "platform/doubles/FixedExecutableName.h"
#include "platform/doubles/FixedNumberLocale.h"
#include "platform/doubles/RecordingTextFileWriter.h"
#include "platform/doubles/RecordingZOrder.h"
#include "platform/doubles/VirtualClock.h"
#include "platform/IniFileSettingsBackend.h"
#include "platform/Timer.h"
#include "settings/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <memory>

// One entry of a snapshot the backend read, or nullopt when it is absent.
inline std::optional<QString> storedEntry(const SettingsSnapshot &snapshot, const QString &key)
{
    const auto found = snapshot.entries.constFind(key);
    return found == snapshot.entries.cend() ? std::nullopt : std::optional<QString>(*found);
}

// The program on the offscreen platform: a virtual clock and a real INI file in a temporary
// config folder. launch() starts it the way main() does; close() closes the main window the
// way the user does. Several launches share one settings file, like relaunches would.
class AppHarness
{
public:
    AppHarness() : m_iniPath(m_configDir.path() + QStringLiteral("/ZEMRA/ZEMRA.ini")) {}
    ~AppHarness() { m_controller.reset(); }

    void launch(const QString &executableName = QStringLiteral("zemra"))
    {
        m_controller.reset();
        m_store.reset();
        m_executableName = std::make_unique<FixedExecutableName>(executableName);
        m_backend = std::make_unique<IniFileSettingsBackend>(m_iniPath);
        m_clock = std::make_unique<VirtualClock>();
        m_store = std::make_unique<SettingsStore>(*m_backend, executableName);
        m_controller = std::make_unique<MainController>(
            PlatformServices{*m_clock, *m_executableName, sizeQueryFactory(), m_numberLocale,
                             m_writer, m_zOrder, m_workQueue},
            *m_store);
    }

    void show() { window().show(); }
    void close() { window().close(); }

    [[nodiscard]] MainController &controller() { return *m_controller; }
    [[nodiscard]] MainWindow &window() { return m_controller->window(); }
    [[nodiscard]] Ui::ZEMRA_MAIN &form() { return window().form(); }
    [[nodiscard]] const MainTimers &timers() { return window().timers(); }
    [[nodiscard]] VirtualClock &clock() { return *m_clock; }
    // Answers the size queries get, in order, and the queries made.
    [[nodiscard]] FakeSizeQuery::Log &sizes() { return *m_sizes; }
    // Called whenever the run makes a size query service, before it asks anything.
    void onSizeQueryCreated(std::function<void()> hook) { m_onSizeQueryCreated = std::move(hook); }
    // Where size queries run: at once unless the test holds them.
    [[nodiscard]] FakeWorkQueue &workQueue() { return m_workQueue; }
    // The log files written.
    [[nodiscard]] RecordingTextFileWriter &writer() { return m_writer; }
    // The z-order calls made, and the foreground window the program is told of.
    [[nodiscard]] RecordingZOrder &zOrder() { return m_zOrder; }

    // Reads and writes the INI file directly, as another program would.
    [[nodiscard]] QVariant stored(const QString &key,
                                  const QString &section = QStringLiteral("zemra")) const
    {
        QSettings file(m_iniPath, QSettings::IniFormat);
        return file.value(section + QLatin1Char('/') + key);
    }
    [[nodiscard]] bool isStored(const QString &key,
                                const QString &section = QStringLiteral("zemra")) const
    {
        QSettings file(m_iniPath, QSettings::IniFormat);
        return file.contains(section + QLatin1Char('/') + key);
    }
    void store(const QString &key, const QString &value,
               const QString &section = QStringLiteral("zemra"))
    {
        QSettings file(m_iniPath, QSettings::IniFormat);
        file.setValue(section + QLatin1Char('/') + key, value);
    }

    // The settings file's bytes, as a person's editor would write and see them; put() creates
    // the folder. iniBytes() is "<absent>" when the file cannot be read.
    [[nodiscard]] bool put(const QByteArray &bytes) const
    {
        QDir().mkpath(QFileInfo(m_iniPath).absolutePath());
        QFile file(m_iniPath);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }
    [[nodiscard]] QByteArray iniBytes() const
    {
        QFile file(m_iniPath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<absent>");
    }

    void setIniPath(const QString &path) { m_iniPath = path; }
    [[nodiscard]] const QString &iniPath() const { return m_iniPath; }
    [[nodiscard]] QString configDir() const { return m_configDir.path(); }

private:
    std::function<std::unique_ptr<SizeQuery>()> sizeQueryFactory()
    {
        return [this, make = FakeSizeQuery::factory(m_sizes)] {
            if (m_onSizeQueryCreated)
                m_onSizeQueryCreated();
            return make();
        };
    }

    QTemporaryDir m_configDir;
    QString m_iniPath;
    std::unique_ptr<FixedExecutableName> m_executableName;
    std::unique_ptr<IniFileSettingsBackend> m_backend;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<VirtualClock> m_clock;
    std::function<void()> m_onSizeQueryCreated;
    std::shared_ptr<FakeSizeQuery::Log> m_sizes = std::make_shared<FakeSizeQuery::Log>();
    FixedNumberLocale m_numberLocale;
    RecordingTextFileWriter m_writer;
    RecordingZOrder m_zOrder;
    FakeWorkQueue m_workQueue;
    std::unique_ptr<MainController> m_controller;
};
