#pragma once

#include <QCheckBox>

// A tickbox whose caption wraps onto further lines when it is wider than the box, as the
// window's layout expects for captions such as "Always On Top" in a narrow column. The
// whole box, caption included, takes clicks.
//
// The user can only tick and untick it: a grey (partially checked) state set by the program
// shows until the first click, which ticks the box and makes it two-state again, so no click
// ever brings grey back.
class WrappingCheckBox final : public QCheckBox
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WrappingCheckBox)

public:
    using QCheckBox::QCheckBox;

protected:
    void paintEvent(QPaintEvent *event) override;
    [[nodiscard]] bool hitButton(const QPoint &pos) const override;
    void nextCheckState() override;
};
