// Runs the calculation on arbitrary parameter values (any bit pattern, infinities and nans
// included, or text typed into the fields), fluid-system texts and option states, and checks
// what the run reports: every shown rate, the percent penetration and every present sweep point
// are finite, no message shows "inf" or "nan", the run's bookkeeping agrees with its inputs, and a
// second run with the report and charts drawn gives the same bits.
//
// Input layout (missing bytes read as zero):
//   byte 0       bits 0-1 fluid system: Oil-Water, Gas-Water, Gas-Oil, or 3 = the trailing text
//                bit 2 "Partial Penetration", bit 3 "Partial Completion", bit 4 skip the sweep,
//                bits 5-6 the fluid-system code a previous run left behind (0..3)
//   10 values    permeability, viscosity, fvf, density difference, drainage radius, well radius,
//                bottom-hole pressure, completion top, zone thickness, penetration; each a tag
//                byte and by tag % 4:
//                0 the next 8 bytes as a double's bits, 1 one byte indexing specialValues,
//                2 a length byte and that much text typed into the field, 3 a 16-bit whole number
//                of quarter units
//   the rest     the fluid-system text when bits 0-1 are 3

#include "calc/calculation_run.h"
#include "calc/well_messages.h"
#include "fuzz_check.h"
#include "message_check.h"
#include "model/parameter_set.h"
#include "report/report_presenter.h"
#include "report/text_surface.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace {

using coning::Correlation;
using coning::ParameterSet;
using coning::RunResult;

class ByteReader
{
public:
    ByteReader(const std::uint8_t *data, std::size_t size)
        : m_data(data)
        , m_size(size)
    {}

    std::uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }

    std::string_view text(std::size_t length)
    {
        const std::size_t n = std::min(length, m_size - m_pos);
        const std::string_view t(reinterpret_cast<const char *>(m_data + m_pos), n);
        m_pos += n;
        return t;
    }

    std::string_view rest() { return text(m_size - m_pos); }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

constexpr double inf = std::numeric_limits<double>::infinity();

// Values near the boundaries the run and the correlations test.
const std::array specialValues = {
    0.0,
    -0.0,
    1.0,
    -1.0,
    inf,
    -inf,
    std::numeric_limits<double>::quiet_NaN(),
    std::numeric_limits<double>::denorm_min(),
    -std::numeric_limits<double>::denorm_min(),
    std::numeric_limits<double>::min(),
    std::numeric_limits<double>::max(),
    -std::numeric_limits<double>::max(),
    std::numeric_limits<double>::epsilon(),
    1e-300,
    1e300,
    1e154,
    0.25,
    0.3,
    1.2,
    15.0,
    40.0,
    50.0,
    100.0,
    1000.0,
    2000.0,
    1e6,
};

using FieldHandler = void (*)(ParameterSet &, std::string_view);
struct Field
{
    double ParameterSet::*value;
    FieldHandler handler;
};

const std::array<Field, 10> fields = {{
    {&ParameterSet::permeability, coning::permin_Change},
    {&ParameterSet::viscosity, coning::vin_Change},
    {&ParameterSet::formationVolumeFactor, coning::bin_Change},
    {&ParameterSet::densityDifference, coning::rhoin_Change},
    {&ParameterSet::drainageRadius, coning::rein_Change},
    {&ParameterSet::wellRadius, coning::rwin_Change},
    {&ParameterSet::bottomHolePressure, coning::bhpin_Change},
    {&ParameterSet::completionTop, coning::topin_Change},
    {&ParameterSet::zoneThicknessInput, coning::hin_Change},
    {&ParameterSet::penetrationInput, coning::din_Change},
}};

void readValue(ByteReader &in, ParameterSet &m, const Field &field)
{
    switch (in.byte() % 4) {
    case 0: {
        std::uint64_t bits = 0;
        for (int i = 0; i < 8; ++i)
            bits |= std::uint64_t(in.byte()) << (8 * i);
        m.*field.value = std::bit_cast<double>(bits);
        break;
    }
    case 1:
        m.*field.value = specialValues[in.byte() % specialValues.size()];
        break;
    case 2:
        field.handler(m, in.text(in.byte()));
        break;
    default: {
        const auto low = in.byte();
        const auto whole = static_cast<std::int16_t>(low | in.byte() << 8);
        m.*field.value = whole / 4.0;
        break;
    }
    }
}

// The bar chart and the rate-penetration chart: whatever the rates, the report draws at finite
// coordinates.
class CheckingSurface final : public coning::DrawingSurface
{
public:
    void setVisible(bool) override {}
    void setEmptyPicture() override {}
    void clear() override {}
    void setForeColor(coning::Rgb) override {}
    void setDrawWidth(int) override {}
    void setScale(float left, float top, float right, float bottom) override
    {
        check({left, top, right, bottom});
    }
    void print(const std::vector<coning::PrintItem> &) override {}
    void setPrintPosition(float x, float y) override { check({x, y}); }
    void drawLine(float x1, float y1, float x2, float y2, std::optional<coning::Rgb>) override
    {
        check({x1, y1, x2, y2});
    }
    void drawBox(float x1, float y1, float x2, float y2, coning::Rgb, bool) override
    {
        check({x1, y1, x2, y2});
    }
    void setPoint(float x, float y, coning::Rgb) override { check({x, y}); }
    void setToolTip(const std::string &) override {}
    void takeImageAsPicture() override {}
    int columnsAcross() const override { return 40; }
    int fitColumns(int columns) override { return columns; }
    float textWidth(const std::string &text) const override
    {
        return static_cast<float>(text.size());
    }

private:
    static void check(std::initializer_list<float> coordinates)
    {
        for (float c : coordinates)
            fuzzCheck(std::isfinite(c), "the report draws at finite coordinates");
    }
};

bool sameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

bool sameResult(const RunResult &a, const RunResult &b)
{
    if (a.error != b.error || a.fluidSystem != b.fluidSystem || a.swept != b.swept
        || !sameBits(a.percentPenetration, b.percentPenetration))
        return false;
    for (std::size_t c = 0; c < a.outcomes.size(); ++c) {
        const auto &x = a.outcomes[c];
        const auto &y = b.outcomes[c];
        if (x.evaluated != y.evaluated || x.failure != y.failure || !sameBits(x.rate, y.rate))
            return false;
        for (std::size_t p = 0; p < a.sweepRates[c].size(); ++p) {
            const auto &s = a.sweepRates[c][p];
            const auto &t = b.sweepRates[c][p];
            if (s.has_value() != t.has_value() || (s && !sameBits(*s, *t)))
                return false;
        }
        if (a.sweepFailures[c].count != b.sweepFailures[c].count
            || a.sweepFailures[c].firstFailure != b.sweepFailures[c].firstFailure)
            return false;
    }
    return true;
}

void checkResult(const RunResult &r,
                 const ParameterSet &m,
                 const coning::FixedChoices &choices,
                 coning::Sweep sweep)
{
    fuzzCheck(!coning::testing::showsNonFiniteNumber(coning::runMessageText(r)),
              "no message shows inf or nan");
    for (const auto &failure : r.sweepFailures)
        fuzzCheck(!coning::testing::showsNonFiniteNumber(failure.firstFailure),
                  "no sweep failure shows inf or nan");
    fuzzCheck(r.fluidSystem == m.fluidSystem, "the result names the run's fluid system");
    fuzzCheck(r.meyerGarderCondition == (m.fluidSystem != 2 || m.bottomHolePressure > 0.0),
              "Meyer-Garder condition");

    if (r.failed()) {
        for (const auto &o : r.outcomes)
            fuzzCheck(!o.evaluated, "a failed run evaluates no correlation");
        fuzzCheck(!r.swept, "a failed run does not sweep");
        return;
    }

    fuzzCheck(std::isfinite(r.percentPenetration), "the percent penetration is finite");
    fuzzCheck(std::isfinite(m.logRadiusRatio), "the radius ratio's logarithm is finite");
    for (Correlation c : coning::callOrder) {
        const auto &o = r.outcome(c);
        const bool expected = c != Correlation::MeyerGarder || r.meyerGarderCondition;
        fuzzCheck(o.evaluated == expected, "every correlation is evaluated under its condition");
        if (o.shown())
            fuzzCheck(std::isfinite(o.rate), "every shown rate is finite");
    }

    const bool sweeps = sweep == coning::Sweep::AsSelected && choices.partialPenetration;
    fuzzCheck(r.swept == sweeps, "the sweep runs exactly for partial penetration");
    for (Correlation c : coning::callOrder) {
        const int i = coning::indexOf(c);
        const bool skipped = !r.swept || (c == Correlation::MeyerGarder && !r.meyerGarderCondition);
        int missing = 0;
        for (int p = 0; p <= 100; ++p) {
            const auto &point = r.sweepRates[i][p];
            const bool inSweep = p >= coning::sweepFirstPercent && p <= coning::sweepLastPercent;
            if (skipped || !inSweep) {
                fuzzCheck(point.has_value() && sameBits(*point, 0.0),
                          "points the sweep does not evaluate stay 0");
                continue;
            }
            if (point)
                fuzzCheck(std::isfinite(*point), "every present sweep point is finite");
            else
                ++missing;
        }
        fuzzCheck(r.sweepFailures[i].count == missing, "every missing sweep point is counted");
        if (missing > 0)
            fuzzCheck(!r.sweepFailures[i].firstFailure.empty(), "a sweep failure is explained");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    ByteReader in(data, size);
    const std::uint8_t flags = in.byte();

    ParameterSet m;
    m.fluidSystem = static_cast<std::int16_t>((flags >> 5) & 3);
    for (const Field &field : fields)
        readValue(in, m, field);

    static constexpr std::array<std::string_view, 3> systems = {"Oil-Water", "Gas-Water", "Gas-Oil"};
    const std::string system((flags & 3) == 3 ? in.rest() : systems[flags & 3]);
    const coning::FixedChoices choices(system, (flags & 4) != 0, (flags & 8) != 0);
    const coning::Sweep sweep = (flags & 16) ? coning::Sweep::Skip : coning::Sweep::AsSelected;

    const ParameterSet before = m;
    const RunResult first = coning::runCalculation(m, choices, sweep);
    checkResult(first, m, choices, sweep);

    for (const Field &field : fields)
        fuzzCheck(sameBits(before.*field.value, m.*field.value), "a run never writes the inputs");

    // Pressing the button again with unchanged inputs gives the same result, to the bit; this
    // time the report and the charts are drawn.
    coning::TextSurface picture1;
    CheckingSurface bar;
    CheckingSurface picture2;
    coning::ReportPresenter presenter({picture1, bar, picture2});
    const RunResult second = coning::runCalculation(m, choices, presenter, sweep);
    fuzzCheck(sameResult(first, second), "a second run gives the same result");
    return 0;
}
