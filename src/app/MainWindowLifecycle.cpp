#include "app/MainWindowLifecycle.h"

#include "app/TargetTickRestore.h"
#include "measure/SizeDisplay.h"
#include "platform/Timer.h"
#include "platform/WorkQueue.h"
#include "schedule/RunState.h"
#include "schedule/RunTexts.h"
#include "settings/SettingsStore.h"
#include "ui/MainWindow.h"
#include "ui/TextBox.h"
#include "ui/TickBox.h"

#include <array>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

// The stored tickboxes, in the order they are restored and saved.
struct StoredTick
{
    Setting setting;
    WrappingCheckBox *Ui::ZEMRA_MAIN::*box;
};

constexpr StoredTick storedTicks[] = {
    {Setting::AlwaysOnTopTick, &Ui::ZEMRA_MAIN::AlwaysOnTopTimer_TICKBOX},
    {Setting::AutoStartTick, &Ui::ZEMRA_MAIN::AUTOSTART_TICKBOX},
    {Setting::AutoCloseTick, &Ui::ZEMRA_MAIN::AUTOCLOSE_TICKBOX},
    {Setting::UseFileTick, &Ui::ZEMRA_MAIN::USE_FILE_TICKBOX},
    {Setting::UseFolderTick, &Ui::ZEMRA_MAIN::USE_FOLDER_TICKBOX},
};
constexpr std::size_t UseFileIndex = 3;
constexpr std::size_t UseFolderIndex = 4;

} // namespace

MainWindowLifecycle::MainWindowLifecycle(MainWindow &window, SettingsStore &store,
                                         WorkQueue &workQueue)
    : m_window(window), m_store(store), m_workQueue(workQueue),
      m_placement(store, Setting::MainLeft, Setting::MainTop, Setting::MainWidth,
                  Setting::MainHeight)
{}

void MainWindowLifecycle::load(const QString &executableName)
{
    Ui::ZEMRA_MAIN &form = m_window.form();
    const MainTimers &timers = m_window.timers();

    m_placement.restore(m_window);

    form.APP_EXE_NAME_LABEL->setText(executableName);
    m_window.setWindowTitle(u"ZEMRA - "_s + form.APP_EXE_NAME_LABEL->text());

    std::array<qint16, std::size(storedTicks)> ticks{};
    for (std::size_t i = 0; i < ticks.size(); ++i)
        ticks[i] = m_store.readTick(storedTicks[i].setting);
    // Both target kinds stored as ticked would leave both boxes disabled, with no way out
    // through the window: keep only the one that fits the stored target, FILE-Size until its
    // kind is known. The stored ticks stay as they are unless the user changes the target
    // kind.
    m_adjustedTargetTicks.reset();
    const bool bothTicked = ticks[UseFileIndex] == 1 && ticks[UseFolderIndex] == 1;
    if (bothTicked) {
        const TargetTickRestore::Ticks provisional =
            TargetTickRestore::forBothTicked(TargetTickRestore::TargetKind::Neither);
        ticks[UseFileIndex] = provisional.useFile;
        ticks[UseFolderIndex] = provisional.useFolder;
        m_adjustedTargetTicks = provisional;
    }
    for (std::size_t i = 0; i < ticks.size(); ++i)
        TickBox::setValue(*(form.*storedTicks[i].box), ticks[i]);

    form.FF_LOCATION_TEXTBOX->setText(m_store.readPath(Setting::TargetPath));
    form.LOGFILE_TEXTBOX->setText(m_store.readPath(Setting::LogFilePath));
    if (bothTicked)
        askTargetKind(form.FF_LOCATION_TEXTBOX->text());

    SizeDisplay::clear(form);

    timers.AlwaysOnTopTimer->setInterval(1000);
    timers.AUTOSTART_TIMER->setEnabled(false);
    timers.FILE_FOLDER_SIZER_TIMER->setEnabled(false);
    timers.AUTOCLOSE_TIMER->setEnabled(false);
    timers.AUTOSTART_TIMER->setInterval(10000);
    timers.FILE_FOLDER_SIZER_TIMER->setInterval(3000);
    timers.AUTOCLOSE_TIMER->setInterval(10000);
    timers.AlwaysOnTopTimer->setEnabled(TickBox::isTicked(*form.AlwaysOnTopTimer_TICKBOX));

    if (TickBox::isTicked(*form.AUTOSTART_TICKBOX)) {
        form.CURRENT_STATUS_LABEL->setText(RunTexts::autostarting());
        timers.AUTOSTART_TIMER->setEnabled(true);
        form.AUTO_STARTS_STOPS_BUTTON->setText(RunTexts::stop());
        form.RUN_NOW_BUTTON->setEnabled(false);
    } else {
        RunState::enterReady(form);
    }
}

void MainWindowLifecycle::unload()
{
    Ui::ZEMRA_MAIN &form = m_window.form();
    m_placement.writePosition(m_window);
    std::array<qint16, std::size(storedTicks)> ticks{};
    for (std::size_t i = 0; i < ticks.size(); ++i)
        ticks[i] = TickBox::value(*(form.*storedTicks[i].box));
    // Target ticks the load adjusted and the user left alone are not the user's change.
    if (m_adjustedTargetTicks && ticks[UseFileIndex] == m_adjustedTargetTicks->useFile &&
        ticks[UseFolderIndex] == m_adjustedTargetTicks->useFolder) {
        ticks[UseFileIndex] = 1;
        ticks[UseFolderIndex] = 1;
    }
    for (std::size_t i = 0; i < ticks.size(); ++i)
        m_store.writeTick(storedTicks[i].setting, ticks[i]);
    RunState::writePaths(form, m_store);
    m_store.saveLast();
}

void MainWindowLifecycle::askTargetKind(const QString &targetPath)
{
    auto kind = std::make_shared<TargetTickRestore::TargetKind>();
    m_workQueue.run(
        &m_context, [kind, targetPath] { *kind = TargetTickRestore::kindOf(targetPath); },
        [this, kind, targetPath] {
            adoptTargetTicks(TargetTickRestore::forBothTicked(*kind), targetPath);
        });
}

void MainWindowLifecycle::adoptTargetTicks(const TargetTickRestore::Ticks &kept,
                                           const QString &targetPath)
{
    Ui::ZEMRA_MAIN &form = m_window.form();
    // What the user chose after the load wins over what the stored target turned out to be.
    const bool untouched =
        m_adjustedTargetTicks &&
        TickBox::value(*form.USE_FILE_TICKBOX) == m_adjustedTargetTicks->useFile &&
        TickBox::value(*form.USE_FOLDER_TICKBOX) == m_adjustedTargetTicks->useFolder &&
        form.FF_LOCATION_TEXTBOX->text() == targetPath;
    if (!untouched)
        return;
    // Unticking first, so that the interlock never sees both ticked.
    if (kept.useFile == 0)
        TickBox::setValue(*form.USE_FILE_TICKBOX, 0);
    TickBox::setValue(*form.USE_FOLDER_TICKBOX, kept.useFolder);
    TickBox::setValue(*form.USE_FILE_TICKBOX, kept.useFile);
    m_adjustedTargetTicks = kept;
}
