#include "app/MainController.h"

#include "app/TargetSelection.h"
#include "placement/AlwaysOnTop.h"
#include "platform/ExecutableName.h"

MainController::MainController(const PlatformServices &services)
    : m_services(services), m_store(services.settings, services.executableName.name()),
      m_window(services.clock), m_lifecycle(m_window, m_store)
{
    connectHandlers();
    m_lifecycle.load(m_services.executableName.name());
}

void MainController::connectHandlers()
{
    Ui::ZEMRA_MAIN &form = m_window.form();
    TargetSelection::attach(form);
    AlwaysOnTop::attach(form, *m_window.timers().AlwaysOnTopTimer);
    QObject::connect(&m_window, &MainWindow::unloading, &m_window,
                     [this] { m_lifecycle.unload(); });
}
