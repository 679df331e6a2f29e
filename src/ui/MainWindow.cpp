#include "ui/MainWindow.h"

#include "platform/Clock.h"
#include "ui/MainWindowAccessible.h"
#include "ui/WindowStyle.h"

#include <QCloseEvent>
#include <QTextDocument>
#include <QTextOption>

using namespace Qt::Literals::StringLiterals;

MainWindow::MainWindow(Clock &clock, QWidget *parent) : QWidget(parent)
{
    MainWindowAccessible::install();
    m_form.setupUi(this);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    WindowStyle::apply(*this);

    // Right alignment must be the document's default, so that it holds for every line the
    // program puts in later, not just the current block.
    QTextOption sizeDisplayOption = m_form.OUTPUT_WINDOW_TEXTBOX->document()->defaultTextOption();
    sizeDisplayOption.setAlignment(Qt::AlignRight);
    m_form.OUTPUT_WINDOW_TEXTBOX->document()->setDefaultTextOption(sizeDisplayOption);

    // The first control of the tab order that can take focus; the ones before it are hidden.
    m_form.FF_LOCATION_TEXTBOX->setFocus();

    // Created in the order the window lists its controls.
    m_timers.FIVE_MIN_REPEAT_TIMER = clock.createTimer(this, u"FIVE_MIN_REPEAT_TIMER"_s);
    m_timers.AUTOCLOSE_TIMER = clock.createTimer(this, u"AUTOCLOSE_TIMER"_s);
    m_timers.AlwaysOnTopTimer = clock.createTimer(this, u"AlwaysOnTopTimer"_s);
    m_timers.AUTOSTART_TIMER = clock.createTimer(this, u"AUTOSTART_TIMER"_s);
    m_timers.FILE_FOLDER_SIZER_TIMER = clock.createTimer(this, u"FILE_FOLDER_SIZER_TIMER"_s);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_unloaded) {
        m_unloaded = true;
        emit unloading();
    }
    event->accept();
}
