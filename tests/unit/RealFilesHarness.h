#pragma once

#include "app/MainController.h"
#include "platform/doubles/FakeWorkQueue.h"
#include "platform/doubles/FixedExecutableName.h"
#include "platform/doubles/FixedNumberLocale.h"
#include "platform/doubles/RecordingZOrder.h"
#include "platform/doubles/VirtualClock.h"
#include "platform/IniFileSettingsBackend.h"
#include "platform/SaveFileWriter.h"
#include "platform/SizeQuery.h"
#include "settings/SettingsStore.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

// The program with the real size query and the real log file writer, over files in a
// temporary folder, on the offscreen platform with a virtual clock and a real INI file. Size
// queries run within the timer tick that starts them.
// The number formatter is the caller's (a locale's separators, or comma and point).
class RealFilesHarness
{
public:
    explicit RealFilesHarness(
        std::unique_ptr<NumberLocale> numberLocale = std::make_unique<FixedNumberLocale>())
        : m_numberLocale(std::move(numberLocale))
    {}
    ~RealFilesHarness() { m_controller.reset(); }

    void launch()
    {
        m_controller.reset();
        m_store.reset();
        m_backend = std::make_unique<IniFileSettingsBackend>(m_iniPath);
        m_clock = std::make_unique<VirtualClock>();
        m_store = std::make_unique<SettingsStore>(*m_backend, m_executableName.name());
        m_controller = std::make_unique<MainController>(
            PlatformServices{*m_clock, m_executableName, &createSizeQuery, *m_numberLocale,
                             m_writer, m_zOrder, m_workQueue},
            *m_store);
        m_controller->window().show();
    }

    // Run Now, and the run three seconds later.
    void runNow()
    {
        form().RUN_NOW_BUTTON->click();
        m_clock->advance(3000);
    }

    // Moves the virtual clock on, delivering the ticks that fall due.
    void advance(qint64 milliseconds) { m_clock->advance(milliseconds); }

    // Stores an entry the way the program writes it.
    void store(const QString &key, const QString &value)
    {
        ASSERT_TRUE(
            IniFileSettingsBackend(m_iniPath).write(QStringLiteral("zemra"), {{key, value}}));
    }

    [[nodiscard]] MainController &controller() { return *m_controller; }
    [[nodiscard]] Ui::ZEMRA_MAIN &form() { return m_controller->window().form(); }
    [[nodiscard]] const QString &iniPath() const { return m_iniPath; }
    // A folder for the test's own files, apart from the settings.
    [[nodiscard]] QString files() const { return m_files.path(); }

    // The bytes of a file, or an empty array when it cannot be read.
    [[nodiscard]] static QByteArray bytesOf(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QTemporaryDir m_config;
    QTemporaryDir m_files;
    QString m_iniPath = m_config.path() + QStringLiteral("/ZEMRA/ZEMRA.ini");
    FixedExecutableName m_executableName{QStringLiteral("zemra")};
    std::unique_ptr<NumberLocale> m_numberLocale;
    SaveFileWriter m_writer;
    RecordingZOrder m_zOrder;
    // Queries run at once, within the tick that starts them.
    FakeWorkQueue m_workQueue;
    std::unique_ptr<IniFileSettingsBackend> m_backend;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<VirtualClock> m_clock;
    std::unique_ptr<MainController> m_controller;
};
