#include "wrapping_button.h"

#include <QPainter>
#include <QPen>
#include <qdrawutil.h>

namespace coning {

void WrappingButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // A flat face in the button colour inside a raised edge, sunk while pressed: the style's own
    // gradient would leave no pixel of the colour the form gives the button.
    const QBrush face = palette().brush(QPalette::Button);
    qDrawWinButton(&painter, rect(), palette(), isDown(), &face);
    // The dotted focus mark inside the edge, whether the focus came by mouse or keyboard.
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::ButtonText), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(4, 4, -5, -5));
    }

    QRect textArea = rect().adjusted(3, 2, -3, -2);
    if (isDown())
        textArea.translate(1, 1);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(textArea, Qt::AlignCenter | Qt::TextWordWrap, text());
}

} // namespace coning
