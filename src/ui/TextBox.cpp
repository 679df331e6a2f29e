#include "ui/TextBox.h"

#include <QPlainTextEdit>
#include <QVariant>

using namespace Qt::Literals::StringLiterals;

namespace {

// Dynamic properties of the box: the text as given to setText(), and the editor's plain
// text right after it, by which text() tells whether the box still shows that text.
constexpr char ExactTextProperty[] = "zemraExactText";
constexpr char ShownTextProperty[] = "zemraShownText";

} // namespace

QString TextBox::text(const QPlainTextEdit &box)
{
    const QString shown = box.toPlainText();
    const QVariant exact = box.property(ExactTextProperty);
    if (exact.isValid() && box.property(ShownTextProperty).toString() == shown)
        return exact.toString();

    QString text = shown;
    text.replace(u'\n', "\r\n"_L1);
    return text;
}

void TextBox::setText(QPlainTextEdit &box, const QString &text)
{
    QString plain = text;
    plain.replace("\r\n"_L1, "\n"_L1);
    box.setPlainText(plain);
    box.setProperty(ExactTextProperty, text);
    box.setProperty(ShownTextProperty, box.toPlainText());
}
