#include "ui/LogOutputWindow.h"

#include "ui/TextBox.h"

LogOutputWindow::LogOutputWindow(SettingsStore &store, const QPlainTextEdit &runLogBox,
                                 QWidget *owner)
    : SecondaryWindow(store,
                      {Setting::LogWindowLeft, Setting::LogWindowTop, Setting::LogWindowWidth,
                       Setting::LogWindowHeight},
                      Qt::Window, owner),
      m_runLogBox(runLogBox)
{}

void LogOutputWindow::buildForm()
{
    m_form.setupUi(this);
    connect(m_form.OK_BUTTON, &QPushButton::clicked, this, &LogOutputWindow::acceptOk);
    m_form.OK_BUTTON->setFocus();
}

void LogOutputWindow::loadContents()
{
    TextBox::setText(*m_form.LOG_FILE_OUTPUT_TEXTBOX, TextBox::text(m_runLogBox));
}
