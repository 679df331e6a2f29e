#pragma once

#include <QtGlobal>

class QCheckBox;

// The program's tick values on Qt check boxes. Tick values: 0 unticked, 1 ticked, 2 grey.
// Qt numbers its states differently (Unchecked 0, PartiallyChecked 1, Checked 2), so every
// conversion goes through here.
namespace TickBox {

[[nodiscard]] qint16 value(const QCheckBox &box);

// Sets the tick value; a box set to 2 becomes tristate to be able to show grey (the
// program's tickboxes leave grey, and tristate, at the first click: WrappingCheckBox).
// Qt emits stateChanged when the value differs, so the box's change handling runs as for
// a click.
void setValue(QCheckBox &box, qint16 value);

// Only the value 1 counts as ticked; grey counts as unticked.
[[nodiscard]] bool isTicked(const QCheckBox &box);

} // namespace TickBox
