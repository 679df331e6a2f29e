#pragma once

#include <QCheckBox>

// A tickbox whose caption wraps onto further lines when it is wider than the box, as the
// window's layout expects for captions such as "Always On Top" in a narrow column. The
// whole box, caption included, takes clicks.
class WrappingCheckBox final : public QCheckBox
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WrappingCheckBox)

public:
    using QCheckBox::QCheckBox;

protected:
    void paintEvent(QPaintEvent *event) override;
    [[nodiscard]] bool hitButton(const QPoint &pos) const override;
};
