#pragma once

#include <QPushButton>

namespace coning {

// A command button whose caption wraps at blanks onto further lines when it is wider than the
// button, as the form's calculate button needs, drawn filled with its palette's button colour.
class WrappingButton : public QPushButton
{
    Q_OBJECT

public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace coning
