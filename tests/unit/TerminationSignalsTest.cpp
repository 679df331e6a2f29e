#include "platform/TerminationSignals.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

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

// A shell tells a death by a signal from an exit with 128 + N only by how the child ended; a
// script that runs the program stops at Ctrl-C only when the program dies by SIGINT.
TEST(TerminationSignalsTest, EndByDiesOfTheSignalItself)
{
    for (const int number : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(number);
        const pid_t child = ::fork();
        ASSERT_NE(child, -1);
        if (child == 0) {
            // Handled, as while the program runs; endBy() must still die of it.
            const TerminationSignals watcher;
            TerminationSignals::endBy(number);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "exited with " << WEXITSTATUS(status);
        EXPECT_EQ(WTERMSIG(status), number);
    }
}
