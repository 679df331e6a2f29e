#include "measure/MaskFormat.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

const NumberSeparators kCommaPoint{u',', u'.'};
const NumberSeparators kPointComma{u'.', u','};

struct CountCase
{
    std::uint64_t value;
    const char *mask;
    const char *expected;
};

struct ScaledCase
{
    std::uint64_t units;
    int decimals;
    const char *mask;
    const char *expected;
};

TEST(MaskFormat, CountsAreShownWholeAndGroupedWithoutPassingThroughADouble)
{
    const CountCase cases[] = {
        {0, "###,##0", "0"},
        {7, "###,##0", "7"},
        {999, "###,##0", "999"},
        {1000, "###,##0", "1,000"},
        {1500000, "###,##0", "1,500,000"},
        {4294967296ULL, "###,##0", "4,294,967,296"},
        // 2^53 + 1 is not a double; a detour through one would print ...992.
        {9007199254740993ULL, "###,##0", "9,007,199,254,740,993"},
        {std::numeric_limits<std::uint64_t>::max(), "###,##0", "18,446,744,073,709,551,615"},
        {1234567, "0", "1234567"},
        {5, "000", "005"},
        {12, "#,##0.##", "12."},
        {12, "0.00", "12.00"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(
            MaskFormat::format(c.value, QString::fromLatin1(c.mask), kCommaPoint).toStdString(),
            c.expected)
            << c.value << " under " << c.mask;
    }
}

void expectScaled(const ScaledCase &c)
{
    EXPECT_EQ(
        MaskFormat::formatScaled(c.units, c.decimals, QString::fromLatin1(c.mask), kCommaPoint)
            .toStdString(),
        c.expected)
        << c.units << " / 10^" << c.decimals << " under " << c.mask;
}

TEST(MaskFormat, FractionsRoundAtTheLastPlaceholderAndDropTrailingZeros)
{
    const ScaledCase cases[] = {
        {0, 1, "###,##0.###", "0."},
        {1500, 0, "###,###,##0.###", "1,500."},
        {15, 1, "###,##0.###", "1.5"},
        {15, 4, "###,###,##0.###", "0.002"},
        {123456789, 2, "###,###,##0.###", "1,234,567.89"},
        {123456789, 5, "###,##0.###", "1,234.568"},
        {9996, 4, "###,##0.###", "1."},        // carry into the integer part
        {9999996, 4, "###,##0.###", "1,000."}, // carry adds a digit and a group
        {4, 4, "###,##0.###", "0."},           // too small for the placeholders
        {1, 6, "###,##0.###,###", "0.000001"}, // commas after the point are not shown
        {16, 10, "###,##0.###,###,###", "0.000000002"},
        {18446744073709552ULL, 0, "###,###,##0.###", "18,446,744,073,709,552."},
        {5, 1, "#.##", ".5"}, // no "0" before the point: a zero integer part is not shown
        {25, 1, "0.00#", "2.50"},
        {625, 4, "0.###", "0.063"}, // an exact half rounds up, not to even
        {125, 3, "0.##", "0.13"},   // an exact half rounds up, not to even
        {25, 1, "0", "3"},          // an exact half rounds up, not to even
        {123456789, 8, "0.######", "1.234568"},
    };
    for (const auto &c : cases)
        expectScaled(c);
}

TEST(MaskFormat, UsesTheGivenSeparators)
{
    EXPECT_EQ(MaskFormat::formatScaled(123456789, 2, u"###,###,##0.###", kPointComma),
              u"1.234.567,89");
    EXPECT_EQ(MaskFormat::format(std::uint64_t{1234567890}, u"###,##0", kPointComma),
              u"1.234.567.890");
    EXPECT_EQ(MaskFormat::formatScaled(0, 0, u"###,##0.###", kPointComma), u"0,");
    const NumberSeparators narrowBlank{QChar(0x202F), u','};
    EXPECT_EQ(MaskFormat::formatScaled(1500, 0, u"###,##0.###", narrowBlank), u"1\u202F500,");
}

TEST(MaskFormat, ScaledCountsAreExactDecimalsRoundedHalfAwayFromZero)
{
    const ScaledCase cases[] = {
        {0, 3, "###,##0.###", "0."},
        {25, 3, "0.###", "0.025"},
        {2500, 6, "###,##0.###", "0.003"}, // 0.0025: the half goes up
        {4500, 6, "###,##0.###", "0.005"}, // 0.0045 is no double; exact here
        {4499, 6, "###,##0.###", "0.004"},
        {1234500, 6, "###,##0.###", "1.235"},
        {999500, 6, "###,##0.###", "1."}, // the carry reaches the integer part
        {999499, 6, "###,##0.###", "0.999"},
        {1500000, 15, "0.###,###,###", "0.000000002"},
        {5, 1, "##0", "1"}, // no point: rounded to a whole number
        {5, 0, "##0", "5"},
        {1, 30, "0.###", "0."},
        {9007199254740993ULL, 3, "###,###,##0.###", "9,007,199,254,740.993"},
        {std::numeric_limits<std::uint64_t>::max(), 3, "###,###,##0.###",
         "18,446,744,073,709,551.615"},
        {std::numeric_limits<std::uint64_t>::max(), 6, "###,##0.###", "18,446,744,073,709.552"},
        {std::numeric_limits<std::uint64_t>::max(), 20, "0.###", "0.184"},
    };
    for (const auto &c : cases)
        expectScaled(c);
    EXPECT_EQ(MaskFormat::formatScaled(1234567890, 6, u"###,##0.###", kPointComma).toStdString(),
              "1.234,568");
}

} // namespace
