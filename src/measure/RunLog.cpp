#include "measure/RunLog.h"

#include "measure/RunLogTexts.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Splitter, banner, splitter, executable, target, splitter: the head both reports share.
QString head(const RunLogPieces &pieces)
{
    return pieces.splitter + kCrLf + pieces.banner + pieces.splitter + kCrLf +
           RunLogTexts::exeFilePrefix() + pieces.executableName + kCrLf + pieces.targetLabel +
           pieces.targetPath + kCrLf + pieces.splitter + kCrLf;
}

QString tail(const RunLogPieces &pieces)
{
    return pieces.splitter + kCrLf + pieces.footer + pieces.splitter + kCrLf;
}

} // namespace

QString RunLog::compose(const RunLogPieces &pieces)
{
    return head(pieces) + kCrLf + pieces.sizeBlock + kCrLf + kCrLf + tail(pieces);
}

QString RunLog::composeError(const RunLogPieces &pieces, const QString &reason)
{
    // Every line break the program writes is CR LF, including any inside a system message.
    QString reasonText = reason;
    reasonText.replace(kCrLf, QStringLiteral("\n")).replace(u'\r', u'\n').replace(u'\n', kCrLf);
    return head(pieces) + kCrLf + RunLogTexts::errorPrefix() + reasonText + kCrLf + kCrLf +
           tail(pieces);
}
