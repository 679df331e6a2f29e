#include "schedule/RunState.h"

#include "schedule/RunTexts.h"
#include "settings/SettingsStore.h"
#include "ui_MainWindow.h"

void RunState::allowRequests(Ui::ZEMRA_MAIN &form)
{
    form.RUN_NOW_BUTTON->setEnabled(true);
    form.AUTO_STARTS_STOPS_BUTTON->setText(RunTexts::start());
}

void RunState::enterReady(Ui::ZEMRA_MAIN &form)
{
    allowRequests(form);
    form.CURRENT_STATUS_LABEL->setText(RunTexts::ready());
}

void RunState::savePaths(const Ui::ZEMRA_MAIN &form, SettingsStore &store)
{
    writePaths(form, store);
    store.save();
}

void RunState::savePaths(const QString &targetPath, const QString &logPath, SettingsStore &store)
{
    writePaths(targetPath, logPath, store);
    store.save();
}

void RunState::writePaths(const Ui::ZEMRA_MAIN &form, SettingsStore &store)
{
    writePaths(form.FF_LOCATION_TEXTBOX->text(), form.LOGFILE_TEXTBOX->text(), store);
}

void RunState::writePaths(const QString &targetPath, const QString &logPath, SettingsStore &store)
{
    store.writePath(Setting::TargetPath, targetPath);
    store.writePath(Setting::LogFilePath, logPath);
}
