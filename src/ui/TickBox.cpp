#include "ui/TickBox.h"

#include <QCheckBox>

qint16 TickBox::value(const QCheckBox &box)
{
    switch (box.checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    case Qt::Unchecked:
        break;
    }
    return 0;
}

void TickBox::setValue(QCheckBox &box, qint16 value)
{
    if (value == 2) {
        box.setTristate(true);
        box.setCheckState(Qt::PartiallyChecked);
        return;
    }
    box.setCheckState(value == 1 ? Qt::Checked : Qt::Unchecked);
    box.setTristate(false);
}

bool TickBox::isTicked(const QCheckBox &box)
{
    return value(box) == 1;
}
