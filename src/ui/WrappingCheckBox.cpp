#include "ui/WrappingCheckBox.h"

#include <QStyleOptionButton>
#include <QStylePainter>

void WrappingCheckBox::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;

    // The style draws the indicator (and focus frame) without a caption; the caption is then
    // drawn wrapped into the contents rectangle the style reserves for it.
    option.text.clear();
    painter.drawControl(QStyle::CE_CheckBox, option);

    option.text = caption;
    const QRect contents =
        style()->subElementRect(QStyle::SE_CheckBoxContents, &option, this).intersected(rect());
    painter.drawItemText(contents,
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap | Qt::TextShowMnemonic,
                         option.palette, isEnabled(), caption, QPalette::WindowText);
}

bool WrappingCheckBox::hitButton(const QPoint &pos) const
{
    return rect().contains(pos);
}

void WrappingCheckBox::nextCheckState()
{
    if (checkState() != Qt::PartiallyChecked) {
        QCheckBox::nextCheckState();
        return;
    }
    // Tristate only to be able to show grey; leaving grey leaves tristate too.
    setTristate(false);
    setCheckState(Qt::Checked);
}
