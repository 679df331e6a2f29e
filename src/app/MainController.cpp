#include "app/MainController.h"

#include "app/HistoryAccess.h"
#include "app/PathDrop.h"
#include "app/TargetSelection.h"
#include "history/HistoryRecorder.h"
#include "history/SizeUnits.h"
#include "placement/AlwaysOnTop.h"
#include "platform/ExecutableName.h"
#include "platform/Log.h"
#include "platform/NumberLocale.h"
#include "platform/TerminationSignals.h"
#include "platform/Timer.h"
#include "schedule/RunControl.h"
#include "ui/AboutWindow.h"
#include "ui/LogOutputWindow.h"
#include "ui/TickBox.h"

MainController::MainController(const PlatformServices &services, SettingsStore &store)
    : m_services(services), m_executableName(services.executableName.name()), m_store(store),
      m_window(services.clock), m_lifecycle(m_window, m_store, services.workQueue),
      m_run(m_window, m_store, m_executableName, services.createSizeQuery, services.numberLocale,
            services.textFileWriter, services.workQueue, services.clock)
{
    connectHandlers();
    m_lifecycle.load(m_executableName);
    if (!m_store.unreadable().isEmpty())
        m_run.setStandingNotice(
            QStringLiteral("The settings could not be read (%1), so the window shows the "
                           "defaults and this launch saves no settings.")
                .arg(m_store.unreadable()));
}

void MainController::connectHandlers()
{
    Ui::ZEMRA_MAIN &form = m_window.form();
    TargetSelection::attach(form);
    PathDrop::attach(*form.FF_LOCATION_TEXTBOX);
    PathDrop::attach(*form.LOGFILE_TEXTBOX);
    Timer &alwaysOnTopTimer = *m_window.timers().AlwaysOnTopTimer;
    QObject::connect(form.AlwaysOnTopTimer_TICKBOX, &QCheckBox::stateChanged, &alwaysOnTopTimer,
                     [&form, &alwaysOnTopTimer] {
                         alwaysOnTopTimer.setEnabled(
                             TickBox::isTicked(*form.AlwaysOnTopTimer_TICKBOX));
                     });
    QObject::connect(&alwaysOnTopTimer, &Timer::ticked, &m_window,
                     [this] { AlwaysOnTop::reassert(m_window, m_services.zOrder); });
    RunControl::attach(m_window, m_store, [this] { m_run.cancel(); });
    m_announcer.emplace(m_window);
    m_run.attach();
    m_run.setRunEndedHandler(
        [this](const std::optional<HistoryRecord> &record) { runEnded(record); });
    QObject::connect(form.LOG_OUTPUT_BUTTON, &QPushButton::clicked, &m_window,
                     [this] { openLogOutputWindow(); });
    QObject::connect(form.ABOUT_BUTTON, &QPushButton::clicked, &m_window,
                     [this] { openAboutWindow(); });
    // Only the program can close the main window while a modal window is open (the
    // autoclose countdown). The open window closes first, writing its position, and its
    // modal loop ends; then the main window's own settings are written.
    QObject::connect(&m_window, &MainWindow::unloading, &m_window, [this] {
        // Closing never waits for a measurement or a log write: it is cancelled, which the
        // exit status and this line tell a scheduled launch.
        const QString cause =
            m_signalNumber != 0
                ? QStringLiteral("by %1").arg(TerminationSignals::name(m_signalNumber))
                : QStringLiteral("because the window was closed");
        switch (m_run.cancel()) {
        case MeasurementRun::Cancelled::Nothing:
            break;
        case MeasurementRun::Cancelled::Measurement:
            qCWarning(zemraLog).noquote()
                << "measurement cancelled" << cause + QStringLiteral("; no log file written");
            break;
        case MeasurementRun::Cancelled::LogWrite:
            qCWarning(zemraLog).noquote()
                << "log file write cancelled"
                << cause + QStringLiteral("; the log file may not hold this run's log");
            break;
        }
        closeSecondaryWindows();
        m_lifecycle.unload();
    });
}

MainController::~MainController() = default;

void MainController::keepHistory(const HistoryStore &history, HistoryRecorder *recorder)
{
    m_recorder = recorder;
    m_history = std::make_unique<HistoryAccess>(m_window, m_store, history, m_services.workQueue,
                                                m_services.numberLocale.separators().decimal);
}

void MainController::runEnded(const std::optional<HistoryRecord> &record)
{
    // What a screen reader adds to the status text: the new size, or why the run failed.
    const QString description =
        !m_run.lastRunFailed() && record && record->bytes
            ? QStringLiteral("Size: ") +
                  SizeUnits::compact(*record->bytes, m_services.numberLocale.separators().decimal)
            : m_window.form().CURRENT_STATUS_LABEL->toolTip();
    m_announcer->runEnded(description);
    if (record && m_recorder)
        m_recorder->add(*record);
}

void MainController::openLogOutputWindow()
{
    if (!m_logOutputWindow)
        m_logOutputWindow = new LogOutputWindow(
            m_store, [this] { return m_run.shownRunLog(); }, &m_window);
    m_logOutputWindow->showModal();
}

void MainController::openAboutWindow()
{
    if (!m_aboutWindow)
        m_aboutWindow = new AboutWindow(m_store, &m_window);
    m_aboutWindow->showModal();
}

void MainController::closeSecondaryWindows()
{
    if (m_history)
        m_history->close();
    for (SecondaryWindow *window : {static_cast<SecondaryWindow *>(m_logOutputWindow),
                                    static_cast<SecondaryWindow *>(m_aboutWindow)}) {
        if (window && window->isVisible())
            window->close();
    }
}

bool MainController::lastRunFailed() const
{
    return m_run.lastRunFailed();
}

void MainController::closeOnSignal(int signalNumber)
{
    if (m_signalNumber != 0)
        TerminationSignals::endBy(signalNumber);
    m_signalNumber = signalNumber;
    m_window.close();
}

int MainController::exitStatus(int eventLoopStatus) const
{
    if (m_signalNumber != 0)
        return 128 + m_signalNumber;
    if (eventLoopStatus != 0)
        return eventLoopStatus;
    return m_run.lastRunFailed() ? 1 : 0;
}
