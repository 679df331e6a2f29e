#pragma once

#include <QString>

class QPlainTextEdit;

// Text of multi-line boxes with the program's CR LF line breaks. The editor keeps its
// paragraphs apart with LF internally; these convert at the boundary, so that what the
// program puts in a box is exactly what it reads back.
class TextBox
{
public:
    [[nodiscard]] static QString text(const QPlainTextEdit &box);
    static void setText(QPlainTextEdit &box, const QString &text);
};
