#include "platform/TerminationSignals.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <csignal>

// Raised for real: a handled signal must neither end the test process nor be lost, and it
// reaches the program on the event loop, in the order the signals came.
TEST(TerminationSignalsTest, EachSignalArrivesOnTheEventLoopInsteadOfEndingTheProcess)
{
    TerminationSignals watcher;
    QSignalSpy received(&watcher, &TerminationSignals::received);
    for (const int number : {SIGTERM, SIGINT, SIGHUP})
        ASSERT_EQ(std::raise(number), 0);
    ASSERT_TRUE(received.wait(2000));
    ASSERT_EQ(received.count(), 3);
    EXPECT_EQ(received.at(0).at(0).toInt(), SIGTERM);
    EXPECT_EQ(received.at(1).at(0).toInt(), SIGINT);
    EXPECT_EQ(received.at(2).at(0).toInt(), SIGHUP);
}
