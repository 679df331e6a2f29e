#include "platform/Log.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

// Only the platform's notices about an environment that changes nothing for the program are
// silenced; anything else, Qt's real warnings included, must still reach stderr.
TEST(LogTest, OnlyKnownHarmlessNoticesAreSilenced)
{
    struct Case
    {
        QString message;
        bool harmless;
    };
    const Case cases[] = {
        {u"QStandardPaths: XDG_RUNTIME_DIR not set, defaulting to '/tmp/runtime-root'"_s, true},
        {u"QStandardPaths: wrong permissions on runtime directory /run/user/0, 0755 instead of "
         "0700"_s,
         true},
        {u"QStandardPaths: runtime directory '/x' is not owned by UID 0"_s, false},
        {u"qt.qpa.xcb: could not connect to display"_s, false},
        {u"run failed: Cannot find file '/x'"_s, false},
        {u"warning: QStandardPaths: XDG_RUNTIME_DIR not set"_s, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Log::isHarmless(c.message), c.harmless) << c.message.toStdString();
}
