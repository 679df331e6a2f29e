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

// A name from the command line keeps its bytes on the way to the file system, whatever they
// are, and is shown as a window shows such bytes: one U+FFFD for each byte that is not UTF-8.
TEST(PathText, CommandLineNamesKeepTheirBytes)
{
    struct Case
    {
        const char *name;
        QByteArray bytes;
        QString shown;
    };
    const QString r(QChar::ReplacementCharacter);
    const Case cases[] = {
        {"UTF-8", "/tmp/caf\xc3\xa9/\xf0\x9f\x98\x80", u"/tmp/caf\u00e9/\U0001F600"_s},
        {"a Latin-1 byte", "/tmp/caf\xe9", u"/tmp/caf"_s + r},
        {"a stray continuation byte",
         "/a\x80"
         "b",
         u"/a"_s + r + u"b"_s},
        {"an overlong slash",
         "/a\xc0\xaf"
         "b",
         u"/a"_s + r + r + u"b"_s},
        {"an encoded surrogate", "/a\xed\xa0\x80", u"/a"_s + r + r + r},
        {"beyond U+10FFFF", "/a\xf4\x90\x80\x80", u"/a"_s + r + r + r + r},
        {"cut short at the end", "/a\xe2\x82", u"/a"_s + r + r},
        {"valid after invalid", "/\xff\xc3\xa9", u"/"_s + r + u"\u00e9"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString text = PathText::fromNativeBytes(c.bytes);
        const auto path = PathText::toPath(text);
        ASSERT_TRUE(path.has_value());
        EXPECT_EQ(path->string(), c.bytes.toStdString());
        EXPECT_EQ(PathText::printable(text), c.shown);
        EXPECT_EQ(PathText::holdsKeptBytes(text), c.shown.contains(r));
    }
}

} // namespace
