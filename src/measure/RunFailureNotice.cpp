#include "measure/RunFailureNotice.h"

#include "ui_MainWindow.h"

using namespace Qt::Literals::StringLiterals;

void RunFailureNotice::showReasons(Ui::ZEMRA_MAIN &form, const QStringList &reasons)
{
    form.CURRENT_STATUS_LABEL->setToolTip(reasons.join(u'\n'));
}

QString RunFailureNotice::writeFailureLine(const QString &reason)
{
    QString line = reason;
    line.replace("\r\n"_L1, "\n"_L1).replace(u'\r', u'\n').replace(u'\n', "\r\n"_L1);
    return line + "\r\n"_L1;
}
