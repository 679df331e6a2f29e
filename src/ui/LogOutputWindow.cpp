#include "ui/LogOutputWindow.h"

LogOutputWindow::LogOutputWindow(SettingsStore &store, std::function<QString()> runLog,
                                 QWidget *owner)
    : SecondaryWindow(store,
                      {Setting::LogWindowLeft, Setting::LogWindowTop, Setting::LogWindowWidth,
                       Setting::LogWindowHeight},
                      Qt::Window, owner),
      m_runLog(std::move(runLog))
{}

void LogOutputWindow::buildForm()
{
    m_form.setupUi(this);
    connect(m_form.OK_BUTTON, &QPushButton::clicked, this, &LogOutputWindow::acceptOk);
    m_form.OK_BUTTON->setFocus();
}

void LogOutputWindow::loadContents()
{
    m_form.LOG_FILE_OUTPUT_TEXTBOX->setText(m_runLog());
}
