#include "platform/StandardOutputWriter.h"
#include "platform/SaveFileWriter.h"
#include "platform/StandardStreams.h"

#include <QTemporaryFile>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Runs action with standard output moved to descriptor (closed when -1), then puts standard
// output back. Nothing may be asserted meanwhile: the test's own output would go there too.
template <typename Action> auto withStandardOutput(int descriptor, Action action)
{
    std::fflush(stdout);
    const int saved = ::dup(STDOUT_FILENO);
    if (descriptor >= 0)
        ::dup2(descriptor, STDOUT_FILENO);
    else
        ::close(STDOUT_FILENO);
    auto result = action();
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    return result;
}

const QString RunLog = u"!!! LOG !!!\r\n"_s.repeated(20000); // beyond a pipe's buffer

} // namespace

// Every destination of a run log on standard output gets the whole log or a reason; a reader
// that went away is a failed write, not a death by SIGPIPE.
TEST(StandardOutputWriterTest, TheWholeLogOrAReason)
{
    (void)StandardStreams::prepare();
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    int brokenPipe[2];
    ASSERT_EQ(::pipe(brokenPipe), 0);
    ::close(brokenPipe[0]);
    const int full = ::open("/dev/full", O_WRONLY);

    struct Case
    {
        const char *name;
        int descriptor;
        bool closedAtStart;
        const char *reason; // empty: the write succeeds
    };
    const Case cases[] = {
        {"a file", file.handle(), false, ""},
        {"a reader that went away", brokenPipe[1], false, "Broken pipe"},
        {"a full device", full, false, "No space left on device"},
        {"closed when the program started", file.handle(), true, "closed when the program"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        if (c.descriptor < 0)
            continue; // no /dev/full here
        ASSERT_EQ(::ftruncate(file.handle(), 0), 0);
        ASSERT_EQ(::lseek(file.handle(), 0, SEEK_SET), 0);
        const WriteResult result = withStandardOutput(c.descriptor, [&] {
            return StandardOutputWriter(c.closedAtStart).write(u"-"_s, RunLog);
        });
        if (*c.reason == '\0') {
            EXPECT_TRUE(result.ok) << result.reason.toStdString();
            ASSERT_TRUE(file.seek(0));
            EXPECT_EQ(file.readAll(), SaveFileWriter::encode(RunLog));
        } else {
            EXPECT_FALSE(result.ok);
            EXPECT_TRUE(result.reason.startsWith(u"Cannot write the run log to standard output"_s));
            EXPECT_TRUE(result.reason.contains(QString::fromUtf8(c.reason)))
                << result.reason.toStdString();
        }
    }
    ::close(brokenPipe[1]);
    if (full >= 0)
        ::close(full);
}

// A closed standard output would be taken by the next file the program opens, which would
// then receive the run log: it leads to the null device instead, and the program knows.
TEST(StandardOutputWriterTest, AClosedStandardOutputIsReopenedOnTheNullDevice)
{
    struct Seen
    {
        StandardStreams::Found found;
        struct stat output
        {
        };
        struct stat null
        {
        };
    };
    const Seen seen = withStandardOutput(-1, [] {
        Seen s;
        s.found = StandardStreams::prepare();
        ::fstat(STDOUT_FILENO, &s.output);
        ::stat("/dev/null", &s.null);
        return s;
    });
    EXPECT_TRUE(seen.found.outputClosed);
    EXPECT_EQ(seen.output.st_rdev, seen.null.st_rdev);
    EXPECT_TRUE(S_ISCHR(seen.output.st_mode));
    EXPECT_FALSE(StandardStreams::prepare().outputClosed);
}
