#include <gtest/gtest.h>
#include <QApplication>

// Widgets need a QApplication, and test discovery runs this binary outside ctest's
// environment, so the offscreen platform is chosen here unless the caller chose one.
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
