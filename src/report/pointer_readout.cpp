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
    if (lastRun && lastRun->swept) {
        // Without a scale of rates the pointer's height is no rate: the chart's reason instead.
        switch (chartContent(*lastRun)) {
        case ChartContent::Rates:
            break;
        case ChartContent::NoPositiveRate:
            picture2.setToolTip(std::string(chartNoPositiveRateText));
            return;
        case ChartContent::NothingCalculated:
            picture2.setToolTip(std::string(chartNothingCalculatedText));
            return;
        case ChartContent::BeyondRange:
            picture2.setToolTip(std::string(chartBeyondRangeText));
            return;
        }
    }
    Picture2_MouseMove(picture2, button, shift, x, y);
}

} // namespace coning
