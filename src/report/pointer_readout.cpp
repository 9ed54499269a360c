#include "pointer_readout.h"

#include "number_format.h"

namespace coning {

void Picture2_MouseMove(DrawingSurface &picture2, int /*button*/, int /*shift*/, float x, float y)
{
    picture2.setToolTip(formatWhole(x) + "," + formatWhole(y));
}

} // namespace coning
