#pragma once

#include <QString>

class QPlainTextEdit;

// Text of multi-line boxes, exactly as the program put it there. The editor keeps its
// paragraphs apart with LF internally and its plain-text view rewrites characters (a no-break
// space becomes a blank, U+2028 and U+2029 become line breaks), so setText() also keeps the
// text as given and text() answers it for as long as the box shows what setText() put there.
// A box whose content was changed otherwise (typed by the user, or set directly) is read
// from the editor, with its line breaks as CR LF.
class TextBox
{
public:
    [[nodiscard]] static QString text(const QPlainTextEdit &box);
    static void setText(QPlainTextEdit &box, const QString &text);
};
