#include "app/MainController.h"
#include "platform/IniSettingsBackend.h"
#include "platform/ProcessExecutableName.h"
#include "platform/QtClock.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);

    QtClock clock;
    IniSettingsBackend settings(IniSettingsBackend::defaultFilePath());
    ProcessExecutableName executableName;
    MainController controller({clock, settings, executableName});
    controller.window().show();
    return app.exec();
}
