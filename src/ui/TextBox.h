#pragma once

#include <QPlainTextEdit>
#include <QString>

// A multi-line text box that gives back exactly the text the program put in it. The editor
// keeps its paragraphs apart with LF internally and its plain-text view rewrites characters
// (a no-break space becomes a blank, U+2028 and U+2029 become line breaks), so setText()
// keeps the text as given, and text() answers it for as long as the box shows what
// setText() put there. A box whose content changed otherwise (typed by the user, set by the
// form's definition, or set directly) is read from the editor, with its line breaks as
// CR LF, the program's line end.
class TextBox final : public QPlainTextEdit
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TextBox)

public:
    explicit TextBox(QWidget *parent = nullptr);
    ~TextBox() override = default;

    [[nodiscard]] QString text() const;
    void setText(const QString &text);

private:
    // The text as given to setText(), and the editor's plain text right after it.
    QString m_exact;
    QString m_shown;
    bool m_holdsExact = false;
};
