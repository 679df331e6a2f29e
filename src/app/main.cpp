#include "app/GuardedApplication.h"
#include "app/MainController.h"
#include "platform/LocaleNumberFormatter.h"
#include "platform/ProcessExecutableName.h"
#include "platform/QSettingsBackend.h"
#include "platform/QtClock.h"
#include "platform/SaveFileWriter.h"
#include "platform/SizeQuery.h"
#include "platform/WindowZOrder.h"

int main(int argc, char *argv[])
{
    GuardedApplication app(argc, argv);

    QtClock clock;
    const std::unique_ptr<QSettingsBackend> settings = QSettingsBackend::forCurrentUser();
    ProcessExecutableName executableName;
    LocaleNumberFormatter numberFormatter;
    SaveFileWriter textFileWriter;
    const std::unique_ptr<WindowZOrder> zOrder = createWindowZOrder();
    MainController controller({clock, *settings, executableName, &createSizeQuery, numberFormatter,
                               textFileWriter, *zOrder});
    controller.window().show();
    const int status = app.exec();
    // A scheduled unattended launch can tell from the exit status whether its run failed.
    return status != 0 ? status : (controller.lastRunFailed() ? 1 : 0);
}
