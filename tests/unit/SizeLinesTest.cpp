#include "measure/SizeLines.h"
#include "platform/FixedNumberFormatter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

QStringList linesOf(std::uint64_t bytes, NumberSeparators separators = {})
{
    return SizeLines::lines(bytes, FixedNumberFormatter(separators));
}

QStringList expected(std::initializer_list<const char *> texts)
{
    QStringList result;
    for (const char *text : texts)
        result.append(QString::fromUtf8(text));
    return result;
}

TEST(SizeLines, SixLinesWithTheirMasksAndSuffixes)
{
    struct Case
    {
        std::uint64_t bytes;
        QStringList lines;
    };
    const Case cases[] = {
        {0, expected({"0 B  ", "0. KB", "0. MB", "0. GB", "0. TB", "0. PB"})},
        {999, expected({"999 B  ", "0.999 KB", "0.001 MB", "0. GB", "0. TB", "0. PB"})},
        {1500000, expected({"1,500,000 B  ", "1,500. KB", "1.5 MB", "0.002 GB", "0.000002 TB",
                            "0.000000001 PB"})},
        {1234567890, expected({"1,234,567,890 B  ", "1,234,567.89 KB", "1,234.568 MB", "1.235 GB",
                               "0.001235 TB", "0.000001235 PB"})},
        {999600, expected({"999,600 B  ", "999.6 KB", "1. MB", "0.001 GB", "0.000001 TB",
                           "0.000000001 PB"})},
        // 62.5 MB makes exactly 0.0625 GB: the half rounds up.
        {62500000, expected({"62,500,000 B  ", "62,500. KB", "62.5 MB", "0.063 GB", "0.000063 TB",
                             "0.000000062 PB"})},
        {4294967296ULL, expected({"4,294,967,296 B  ", "4,294,967.296 KB", "4,294.967 MB",
                                  "4.295 GB", "0.004295 TB", "0.000004295 PB"})},
        // Beyond 2^53 only the bytes line keeps every digit; the units use the double.
        {9007199254740993ULL,
         expected({"9,007,199,254,740,993 B  ", "9,007,199,254,740.992 KB", "9,007,199,254.741 MB",
                   "9,007,199.255 GB", "9,007.199255 TB", "9.007199255 PB"})},
        {std::numeric_limits<std::uint64_t>::max(),
         expected({"18,446,744,073,709,551,615 B  ", "18,446,744,073,709,552. KB",
                   "18,446,744,073,709.551 MB", "18,446,744,073.71 GB", "18,446,744.07371 TB",
                   "18,446.74407371 PB"})},
    };
    for (const auto &c : cases)
        EXPECT_EQ(linesOf(c.bytes).join(u'|').toStdString(), c.lines.join(u'|').toStdString());
}

TEST(SizeLines, CommaDecimalLocale)
{
    const NumberSeparators german{u'.', u','};
    EXPECT_EQ(linesOf(1234567890, german).join(u'|').toStdString(),
              "1.234.567.890 B  |1.234.567,89 KB|1.234,568 MB|1,235 GB|0,001235 TB|"
              "0,000001235 PB");
    EXPECT_EQ(linesOf(0, german).join(u'|').toStdString(), "0 B  |0, KB|0, MB|0, GB|0, TB|0, PB");
}

TEST(SizeLines, BlockJoinsTheSixLinesWithFiveLineEnds)
{
    const QString block = SizeLines::block(linesOf(1500000));
    EXPECT_EQ(block.count(QStringLiteral("\r\n")), 5);
    EXPECT_EQ(block.count(u'\r'), 5);
    EXPECT_EQ(block.count(u'\n'), 5);
    EXPECT_TRUE(block.startsWith(QStringLiteral("1,500,000 B  \r\n1,500. KB\r\n")));
    EXPECT_TRUE(block.endsWith(QStringLiteral("\r\n0.000000001 PB")));
}

} // namespace
