#include "ui/TextBox.h"

#include <QPlainTextEdit>

using namespace Qt::Literals::StringLiterals;

QString TextBox::text(const QPlainTextEdit &box)
{
    QString text = box.toPlainText();
    text.replace(u'\n', "\r\n"_L1);
    return text;
}

void TextBox::setText(QPlainTextEdit &box, const QString &text)
{
    QString plain = text;
    plain.replace("\r\n"_L1, "\n"_L1);
    box.setPlainText(plain);
}
