#include "platform/PathText.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

TEST(PathText, NameableTextConvertsUnchangedToUtf8)
{
    struct Case
    {
        QString text;
        const char *utf8;
    };
    const Case cases[] = {
        {u"/tmp/plain.bin"_s, "/tmp/plain.bin"},
        {u"/tmp/a\u00a0b.bin"_s, "/tmp/a\xc2\xa0"
                                 "b.bin"},
        {u"/tmp/a\u2028b"_s, "/tmp/a\xe2\x80\xa8"
                             "b"},
        {u"/tmp/a\u2029b"_s, "/tmp/a\xe2\x80\xa9"
                             "b"},
        {u"/tmp/tab\there  "_s, "/tmp/tab\there  "},
        {u"/tmp/\u0436\u0443\u043a"_s, "/tmp/\xd0\xb6\xd1\x83\xd0\xba"},
        // A surrogate pair is one character beyond the Basic Multilingual Plane.
        {u"/tmp/\U0001F600.txt"_s, "/tmp/\xf0\x9f\x98\x80.txt"},
        {QString(), ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.utf8);
        QString problem = u"untouched"_s;
        const auto path = PathText::toPath(c.text, &problem);
        ASSERT_TRUE(path.has_value());
        EXPECT_EQ(path->string(), std::string(c.utf8));
        EXPECT_EQ(problem, u"untouched"_s);
        EXPECT_EQ(PathText::printable(c.text), c.text);
    }
}

TEST(PathText, NulAndUnpairedSurrogatesNameNoFile)
{
    struct Case
    {
        QString text;
        QString problem;
        QString printable;
    };
    const QString nul = u"tgt"_s + QChar(u'\0') + u"/../other"_s;
    const Case cases[] = {
        {nul, u"it contains a NUL character"_s, u"tgt<NUL>/../other"_s},
        {u"/tmp/a"_s + QChar(0xd800) + u"b"_s,
         u"it contains the unpaired UTF-16 surrogate U+D800"_s, u"/tmp/a<U+D800>b"_s},
        {u"/tmp/"_s + QChar(0xdc05), u"it contains the unpaired UTF-16 surrogate U+DC05"_s,
         u"/tmp/<U+DC05>"_s},
        // A low surrogate before a high one is no pair either.
        {u"x"_s + QChar(0xdc00) + QChar(0xd800),
         u"it contains the unpaired UTF-16 surrogate U+DC00"_s, u"x<U+DC00><U+D800>"_s},
        {u"\U0001F600"_s + QChar(u'\0'), u"it contains a NUL character"_s, u"\U0001F600<NUL>"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.printable.toStdString());
        QString problem;
        EXPECT_FALSE(PathText::toPath(c.text, &problem).has_value());
        EXPECT_EQ(problem, c.problem);
        EXPECT_FALSE(PathText::toPath(c.text).has_value());
        EXPECT_EQ(PathText::printable(c.text), c.printable);
    }
}

} // namespace
