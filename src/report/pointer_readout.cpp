#include "pointer_readout.h"

#include "number_format.h"
#include "rate_penetration_chart.h"

namespace coning {

void Picture2_MouseMove(DrawingSurface &picture2, int /*button*/, int /*shift*/, float x, float y)
{
    picture2.setToolTip(formatWhole(x) + "," + formatWhole(y));
}

void chartPointerMoved(
    DrawingSurface &picture2, const RunResult *lastRun, int button, int shift, float x, float y)
{
    if (!lastRun || !lastRun->swept) {
        Picture2_MouseMove(picture2, button, shift, x, y);
        return;
    }
    // Without a scale of rates the pointer's height is no rate: the chart's reason instead.
    const ChartContent content = chartContent(*lastRun);
    if (content != ChartContent::Rates) {
        picture2.setToolTip(std::string(chartReason(content)));
        return;
    }
    // The rate with the digits of the chart's scale: small rates read "0.0123", not nothing.
    picture2.setToolTip(formatWhole(x) + "," + formatScaleValue(y, chartMaximum(*lastRun)));
}

} // namespace coning
