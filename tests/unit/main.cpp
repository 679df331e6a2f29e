#include "app/GuardedApplication.h"
#include "platform/Log.h"

#include <gtest/gtest.h>

// Widgets need a QApplication: the program's own, which stops exceptions at event delivery.
// Test discovery runs this binary outside ctest's environment, so the offscreen platform is
// chosen here unless the caller chose one.
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Log::install();
    GuardedApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
