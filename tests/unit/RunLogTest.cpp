#include "measure/RunLog.h"
#include "measure/RunLogTexts.h"

#include <gtest/gtest.h>
#include <QStringList>

namespace {

const QString kSplitter = QString(61, u'=');
const QString kBanner = QStringLiteral("!!! - QUENLOW - Zemra-Gauge - !!!\r\n");
const QString kFooter = QStringLiteral("!!! - Thanks for using Quenlow Software - !!!\r\n"
                                       "!!! - www.quenlow.example - Vorrel42 !!! :)\r\n");
const QString kSizeBlock = QStringLiteral(
    "1,500,000 B  \r\n1,500. KB\r\n1.5 MB\r\n0.002 GB\r\n0.000002 TB\r\n0.000000001 PB");

RunLogPieces standardPieces(const QString &label, const QString &path)
{
    return RunLogPieces{kSplitter, kBanner, kFooter,   QStringLiteral("zemra"),
                        label,     path,    kSizeBlock};
}

// The log split into its lines; every line must end with CR LF.
QStringList crLfLines(const QString &log)
{
    EXPECT_TRUE(log.endsWith(QStringLiteral("\r\n")));
    EXPECT_EQ(log.count(u'\r'), log.count(QStringLiteral("\r\n")));
    EXPECT_EQ(log.count(u'\n'), log.count(QStringLiteral("\r\n")));
    QStringList lines = log.split(QStringLiteral("\r\n"));
    lines.removeLast();
    return lines;
}

TEST(RunLog, EighteenLinesForAFileAndAFolderTarget)
{
    struct Case
    {
        QString label;
        QString path;
        QString targetLine;
    };
    const Case cases[] = {
        {RunLogTexts::fileLabel(), QStringLiteral("/data/report.bin"),
         QStringLiteral("FILE = /data/report.bin")},
        {RunLogTexts::folderLabel(), QStringLiteral("C:\\Data"),
         QStringLiteral("FOLDER = C:\\Data")},
        {RunLogTexts::fileLabel(), QStringLiteral("  /a b/c  "),
         QStringLiteral("FILE =   /a b/c  ")},
    };
    for (const auto &c : cases) {
        const QStringList lines = crLfLines(RunLog::compose(standardPieces(c.label, c.path)));
        const QStringList expected = {
            kSplitter,
            QStringLiteral("!!! - QUENLOW - Zemra-Gauge - !!!"),
            kSplitter,
            QStringLiteral("EXE File = zemra"),
            c.targetLine,
            kSplitter,
            QString(),
            QStringLiteral("1,500,000 B  "),
            QStringLiteral("1,500. KB"),
            QStringLiteral("1.5 MB"),
            QStringLiteral("0.002 GB"),
            QStringLiteral("0.000002 TB"),
            QStringLiteral("0.000000001 PB"),
            QString(),
            kSplitter,
            QStringLiteral("!!! - Thanks for using Quenlow Software - !!!"),
            QStringLiteral("!!! - www.quenlow.example - Vorrel42 !!! :)"),
            kSplitter};
        EXPECT_EQ(lines.join(u'|').toStdString(), expected.join(u'|').toStdString());
    }
}

TEST(RunLog, UsesEachPieceAsGiven)
{
    // Distinct pieces show that each lands in its place and that nothing is added to them.
    const RunLogPieces pieces{QStringLiteral("S"), QStringLiteral("B\r\n"), QStringLiteral("F\r\n"),
                              QStringLiteral("X"), QStringLiteral("L"),     QStringLiteral("P"),
                              QStringLiteral("Z")};
    EXPECT_EQ(RunLog::compose(pieces), u"S\r\nB\r\nS\r\nEXE File = X\r\nLP\r\nS\r\n\r\nZ\r\n\r\n"
                                       u"S\r\nF\r\nS\r\n");
}

TEST(RunLog, ErrorReportHasThirteenLines)
{
    RunLogPieces pieces = standardPieces(RunLogTexts::folderLabel(), QStringLiteral(" /x "));
    pieces.sizeBlock = QStringLiteral("must not appear");
    const QStringList lines =
        crLfLines(RunLog::composeError(pieces, QStringLiteral("Cannot read \" /x \": gone")));
    ASSERT_EQ(lines.size(), 13);
    EXPECT_EQ(lines[4], u"FOLDER =  /x ");
    EXPECT_EQ(lines[5], kSplitter);
    EXPECT_EQ(lines[6], u"");
    EXPECT_EQ(lines[7], u"ERROR = Cannot read \" /x \": gone");
    EXPECT_EQ(lines[8], u"");
    EXPECT_EQ(lines[9], kSplitter);
    EXPECT_EQ(lines[12], kSplitter);

    // A reason of several lines keeps CR LF as the only line break.
    const QStringList broken = crLfLines(RunLog::composeError(pieces, QStringLiteral("a\nb\rc")));
    EXPECT_EQ(broken.size(), 15);
    EXPECT_EQ(broken.mid(7, 3).join(u'|'), u"ERROR = a|b|c");
}

} // namespace
