#include "ui/TextBox.h"

using namespace Qt::Literals::StringLiterals;

TextBox::TextBox(QWidget *parent) : QPlainTextEdit(parent) {}

QString TextBox::text() const
{
    const QString shown = toPlainText();
    if (m_holdsExact && shown == m_shown)
        return m_exact;
    QString text = shown;
    text.replace(u'\n', "\r\n"_L1);
    return text;
}

void TextBox::setText(const QString &text)
{
    QString plain = text;
    plain.replace("\r\n"_L1, "\n"_L1);
    setPlainText(plain);
    m_exact = text;
    m_shown = toPlainText();
    m_holdsExact = true;
}
