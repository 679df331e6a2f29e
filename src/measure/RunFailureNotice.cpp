#include "measure/RunFailureNotice.h"

#include "ui/TextBox.h"
#include "ui_MainWindow.h"

#include <QVariant>

using namespace Qt::Literals::StringLiterals;

namespace {

// Kept on the run log box itself: its text with the appended line, and without it.
constexpr char WithNoticeProperty[] = "zemraRunLogWithNotice";
constexpr char WithoutNoticeProperty[] = "zemraRunLogWithoutNotice";

} // namespace

void RunFailureNotice::showReasons(Ui::ZEMRA_MAIN &form, const QStringList &reasons)
{
    form.CURRENT_STATUS_LABEL->setToolTip(reasons.join(u'\n'));
}

void RunFailureNotice::showWriteOutcome(Ui::ZEMRA_MAIN &form, bool written, const QString &reason)
{
    QPlainTextEdit &box = *form.LOG_FILE_OUTPUT_TEXTBOX;
    const QString before = runLogToWrite(form);
    if (written) {
        if (TextBox::text(box) != before)
            TextBox::setText(box, before);
        return;
    }
    QString line = reason;
    line.replace("\r\n"_L1, "\n"_L1).replace(u'\r', u'\n').replace(u'\n', "\r\n"_L1);
    const QString after = before + line + "\r\n"_L1;
    TextBox::setText(box, after);
    box.setProperty(WithNoticeProperty, after);
    box.setProperty(WithoutNoticeProperty, before);
}

QString RunFailureNotice::runLogToWrite(const Ui::ZEMRA_MAIN &form)
{
    const QPlainTextEdit &box = *form.LOG_FILE_OUTPUT_TEXTBOX;
    QString text = TextBox::text(box);
    const QVariant withNotice = box.property(WithNoticeProperty);
    if (withNotice.isValid() && withNotice.toString() == text)
        return box.property(WithoutNoticeProperty).toString();
    return text;
}
