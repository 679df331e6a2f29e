#include "measure/SizeLines.h"
#include "platform/doubles/FixedNumberLocale.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

QStringList linesOf(std::uint64_t bytes, NumberSeparators separators = {})
{
    return SizeLines::lines(bytes, FixedNumberLocale(separators));
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
        // 0.0000000015 PB is an exact half: away from zero.
        {1500000, expected({"1,500,000 B  ", "1,500. KB", "1.5 MB", "0.002 GB", "0.000002 TB",
                            "0.000000002 PB"})},
        {1234567890, expected({"1,234,567,890 B  ", "1,234,567.89 KB", "1,234.568 MB", "1.235 GB",
                               "0.001235 TB", "0.000001235 PB"})},
        {999600, expected({"999,600 B  ", "999.6 KB", "1. MB", "0.001 GB", "0.000001 TB",
                           "0.000000001 PB"})},
        // 62.5 MB makes exactly 0.0625 GB: the half rounds up, in petabytes too.
        {62500000, expected({"62,500,000 B  ", "62,500. KB", "62.5 MB", "0.063 GB", "0.000063 TB",
                             "0.000000063 PB"})},
        {4294967296ULL, expected({"4,294,967,296 B  ", "4,294,967.296 KB", "4,294.967 MB",
                                  "4.295 GB", "0.004295 TB", "0.000004295 PB"})},
        // Beyond 2^53 every line still comes from the exact count.
        {9007199254740993ULL,
         expected({"9,007,199,254,740,993 B  ", "9,007,199,254,740.993 KB", "9,007,199,254.741 MB",
                   "9,007,199.255 GB", "9,007.199255 TB", "9.007199255 PB"})},
        {std::numeric_limits<std::uint64_t>::max(),
         expected({"18,446,744,073,709,551,615 B  ", "18,446,744,073,709,551.615 KB",
                   "18,446,744,073,709.552 MB", "18,446,744,073.71 GB", "18,446,744.07371 TB",
                   "18,446.74407371 PB"})},
    };
    for (const auto &c : cases)
        EXPECT_EQ(linesOf(c.bytes).join(u'|').toStdString(), c.lines.join(u'|').toStdString());
}

// Expected lines computed with Python's decimal module (exact quotient, ROUND_HALF_UP), not
// with this program's code. Each half of the last placeholder sits between its neighbours.
TEST(SizeLines, ExactHalvesRoundAwayFromZeroInEveryUnit)
{
    struct Case
    {
        std::uint64_t bytes;
        QStringList lines;
    };
    const Case cases[] = {
        {499ULL, expected({"499 B  ", "0.499 KB", "0. MB", "0. GB", "0. TB", "0. PB"})},
        {500ULL, expected({"500 B  ", "0.5 KB", "0.001 MB", "0. GB", "0. TB", "0. PB"})},
        {501ULL, expected({"501 B  ", "0.501 KB", "0.001 MB", "0. GB", "0. TB", "0. PB"})},
        {2499ULL, expected({"2,499 B  ", "2.499 KB", "0.002 MB", "0. GB", "0. TB", "0. PB"})},
        {2500ULL, expected({"2,500 B  ", "2.5 KB", "0.003 MB", "0. GB", "0. TB", "0. PB"})},
        {2501ULL, expected({"2,501 B  ", "2.501 KB", "0.003 MB", "0. GB", "0. TB", "0. PB"})},
        {4500ULL, expected({"4,500 B  ", "4.5 KB", "0.005 MB", "0. GB", "0. TB", "0. PB"})},
        {999499ULL, expected({"999,499 B  ", "999.499 KB", "0.999 MB", "0.001 GB", "0.000001 TB",
                              "0.000000001 PB"})},
        {999500ULL, expected({"999,500 B  ", "999.5 KB", "1. MB", "0.001 GB", "0.000001 TB",
                              "0.000000001 PB"})},
        {1234499ULL, expected({"1,234,499 B  ", "1,234.499 KB", "1.234 MB", "0.001 GB",
                               "0.000001 TB", "0.000000001 PB"})},
        {1234500ULL, expected({"1,234,500 B  ", "1,234.5 KB", "1.235 MB", "0.001 GB", "0.000001 TB",
                               "0.000000001 PB"})},
        {1234501ULL, expected({"1,234,501 B  ", "1,234.501 KB", "1.235 MB", "0.001 GB",
                               "0.000001 TB", "0.000000001 PB"})},
        {499999ULL, expected({"499,999 B  ", "499.999 KB", "0.5 MB", "0. GB", "0. TB", "0. PB"})},
        {500000ULL, expected({"500,000 B  ", "500. KB", "0.5 MB", "0.001 GB", "0.000001 TB",
                              "0.000000001 PB"})},
        {500001ULL, expected({"500,001 B  ", "500.001 KB", "0.5 MB", "0.001 GB", "0.000001 TB",
                              "0.000000001 PB"})},
        {2500000ULL, expected({"2,500,000 B  ", "2,500. KB", "2.5 MB", "0.003 GB", "0.000003 TB",
                               "0.000000003 PB"})},
        {4499999ULL, expected({"4,499,999 B  ", "4,499.999 KB", "4.5 MB", "0.004 GB", "0.000004 TB",
                               "0.000000004 PB"})},
        {4500000ULL, expected({"4,500,000 B  ", "4,500. KB", "4.5 MB", "0.005 GB", "0.000005 TB",
                               "0.000000005 PB"})},
        {4500001ULL, expected({"4,500,001 B  ", "4,500.001 KB", "4.5 MB", "0.005 GB", "0.000005 TB",
                               "0.000000005 PB"})},
        {1234500000ULL, expected({"1,234,500,000 B  ", "1,234,500. KB", "1,234.5 MB", "1.235 GB",
                                  "0.001235 TB", "0.000001235 PB"})},
        {999500000ULL, expected({"999,500,000 B  ", "999,500. KB", "999.5 MB", "1. GB", "0.001 TB",
                                 "0.000001 PB"})},
        {1234567500000ULL, expected({"1,234,567,500,000 B  ", "1,234,567,500. KB", "1,234,567.5 MB",
                                     "1,234.568 GB", "1.234568 TB", "0.001234568 PB"})},
        {999999500000ULL, expected({"999,999,500,000 B  ", "999,999,500. KB", "999,999.5 MB",
                                    "1,000. GB", "1. TB", "0.001 PB"})},
        {1234567891500000ULL,
         expected({"1,234,567,891,500,000 B  ", "1,234,567,891,500. KB", "1,234,567,891.5 MB",
                   "1,234,567.892 GB", "1,234.567892 TB", "1.234567892 PB"})},
        {999999999500000ULL, expected({"999,999,999,500,000 B  ", "999,999,999,500. KB",
                                       "999,999,999.5 MB", "1,000,000. GB", "1,000. TB", "1. PB"})},
        {9007199254740500ULL,
         expected({"9,007,199,254,740,500 B  ", "9,007,199,254,740.5 KB", "9,007,199,254.741 MB",
                   "9,007,199.255 GB", "9,007.199255 TB", "9.007199255 PB"})},
        {18446744073709500000ULL,
         expected({"18,446,744,073,709,500,000 B  ", "18,446,744,073,709,500. KB",
                   "18,446,744,073,709.5 MB", "18,446,744,073.71 GB", "18,446,744.07371 TB",
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
    EXPECT_TRUE(block.endsWith(QStringLiteral("\r\n0.000000002 PB")));
}

} // namespace
