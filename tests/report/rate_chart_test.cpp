#include "calc/calculation_run.h"
#include "report/pointer_readout.h"
#include "report/rate_penetration_chart.h"

#include "report_fixtures.h"
#include "sample_well.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace coning {
namespace {

using test::Op;
using test::RecordingSurface;

constexpr Rgb khaki{174, 174, 124};
constexpr int pointsPerSeries = 91;

RunResult chartOf250()
{
    RunResult run = test::resultWith(1, true, {1, 1, 1, 1, 1, 1});
    test::sweepFlat(run, 100);
    run.sweepRates[indexOf(Correlation::Chaney)][60] = 250;
    run.percentPenetration = 40;
    return run;
}

// The text printed right after each print-position call, with that position.
struct Label
{
    float x, y;
    std::string text;
    friend bool operator==(const Label &, const Label &) = default;
};

std::vector<Label> labelsOf(const RecordingSurface &s)
{
    std::vector<Label> labels;
    for (std::size_t i = 0; i + 1 < s.calls.size(); ++i) {
        if (s.calls[i].op == Op::SetPrintPosition && s.calls[i + 1].op == Op::Print)
            labels.push_back({s.calls[i].at[0], s.calls[i].at[1], s.calls[i + 1].text});
    }
    return labels;
}

TEST(RateChart, CoordinateSystemAxesLabelsAndMarkerFor250)
{
    RecordingSurface picture2;
    const RunResult run = chartOf250();
    EXPECT_EQ(chartMaximum(run), 250.0);
    drawRateChart(picture2, run);

    const auto scales = picture2.callsOf(Op::SetScale);
    ASSERT_EQ(scales.size(), 1u);
    EXPECT_EQ(scales[0].at[0], -20.0f);
    EXPECT_FLOAT_EQ(scales[0].at[1], 300.0f);
    EXPECT_EQ(scales[0].at[2], 120.0f);
    EXPECT_FLOAT_EQ(scales[0].at[3], -50.0f);

    const auto lines = picture2.callsOf(Op::DrawLine);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].at, (std::array<float, 4>{0, 250, 0, 0}));
    EXPECT_EQ(lines[1].at, (std::array<float, 4>{0, 0, 100, 0}));
    EXPECT_FALSE(lines[0].colour || lines[1].colour) << "axes use the foreground colour";
    EXPECT_EQ(lines[2].at, (std::array<float, 4>{40, 187.5, 40, 62.5}));
    EXPECT_EQ(lines[2].colour, (Rgb{255, 0, 0}));

    const std::vector<Label> expected = {{0, -12.5f, "0"},
                                         {20, -12.5f, "% Penetration"},
                                         {95, -12.5f, "100"},
                                         {-18, 262.5f, "250"},
                                         {-18, 125, "Rate"},
                                         {-18, 12.5f, "0"}};
    EXPECT_EQ(labelsOf(picture2), expected);
    EXPECT_TRUE(picture2.callsOf(Op::SetForeColor).empty());

    // Width 1 from the start through the marker, then 3 for the points.
    const auto widths = picture2.callsOf(Op::SetDrawWidth);
    ASSERT_EQ(widths.size(), 2u);
    EXPECT_EQ(widths[0].width, 1);
    EXPECT_EQ(widths[1].width, 3);
    const std::vector<Op> ops = picture2.ops();
    const auto marker = std::find(ops.rbegin(), ops.rend(), Op::DrawLine);
    EXPECT_EQ(*(marker - 1), Op::SetDrawWidth);
}

TEST(RateChart, SeriesPointsPerPercentInReportOrder)
{
    struct Case
    {
        const char *name;
        std::int16_t fluidSystem;
        bool meyerGarder;
        std::vector<Rgb> colours; // at every percent
    };
    const Case cases[] = {
        {"all six",
         1,
         true,
         {{0, 0, 255}, {255, 0, 0}, {0, 255, 0}, {62, 0, 136}, {230, 130, 92}, khaki}},
        {"Gas-Water without pressure: five series",
         2,
         false,
         {{0, 0, 255}, {255, 0, 0}, {0, 255, 0}, {62, 0, 136}, {230, 130, 92}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        RunResult run = test::resultWith(c.fluidSystem, c.meyerGarder, {1, 1, 1, 1, 1, 1});
        test::sweepFlat(run, 10);
        // Each series at its own height, so a wrong column shows.
        for (Correlation corr : callOrder) {
            for (int p = sweepFirstPercent; p <= sweepLastPercent; ++p) {
                if (run.sweepRates[indexOf(corr)][p])
                    run.sweepRates[indexOf(corr)][p] = static_cast<int>(corr) * 1000 + p;
            }
        }
        RecordingSurface picture2;
        drawRateChart(picture2, run);
        const auto points = picture2.callsOf(Op::SetPoint);
        const std::size_t n = c.colours.size();
        ASSERT_EQ(points.size(), n * pointsPerSeries);
        for (std::size_t i = 0; i < points.size(); ++i) {
            const int p = sweepFirstPercent + static_cast<int>(i / n);
            EXPECT_EQ(points[i].at[0], static_cast<float>(p));
            EXPECT_EQ(points[i].colour, c.colours[i % n]);
        }
        // Meyer-Garder's column is the third, Chaney's the fourth.
        EXPECT_EQ(points[2].at[1], 4005.0f);
        if (n == 6) {
            EXPECT_EQ(points[5].at[1], 3005.0f);
        }
    }
}

TEST(RateChart, FailedPointsAreLeftOut)
{
    RunResult run = test::resultWith(1, true, {1, 1, 1, 1, 1, 1});
    test::sweepFlat(run, 10);
    run.sweepRates[indexOf(Correlation::Sobocinski)][50].reset();
    run.sweepRates[indexOf(Correlation::Sobocinski)][51] = -900; // negatives count for nothing
    EXPECT_EQ(chartMaximum(run), 10.0);

    RecordingSurface picture2;
    drawRateChart(picture2, run);
    const auto points = picture2.callsOf(Op::SetPoint);
    EXPECT_EQ(points.size(), 6u * pointsPerSeries - 1);
    for (const auto &point : points)
        EXPECT_FALSE(point.at[0] == 50.0f && point.colour == (Rgb{0, 0, 255}));
}

// A zone twice as thick as the drainage radius: Guo-Lee fails at 5 % penetration, where the
// unpenetrated thickness exceeds the drainage radius, and succeeds from 50 % on.
TEST(RateChart, ACorrelationFailedAtTheDesignPointKeepsItsOtherPoints)
{
    ParameterSet m = testing::sampleTypedWell("100");
    m.zoneThicknessInput = 2000;
    const RunResult run = runCalculation(m, FixedChoices("Oil-Water", true, false));
    ASSERT_TRUE(run.outcome(Correlation::GuoLee).failed());
    const int succeeded = pointsPerSeries - run.sweepFailures[indexOf(Correlation::GuoLee)].count;
    ASSERT_GT(succeeded, 0);
    ASSERT_LT(succeeded, pointsPerSeries);

    RecordingSurface picture2;
    drawRateChart(picture2, run);
    int guoLee = 0;
    for (const auto &point : picture2.callsOf(Op::SetPoint)) {
        if (point.colour == (Rgb{230, 130, 92})) {
            ++guoLee;
            EXPECT_EQ(point.at[1],
                      static_cast<float>(
                          *run.sweepRates[indexOf(Correlation::GuoLee)][int(point.at[0])]));
        }
    }
    EXPECT_EQ(guoLee, succeeded);
    EXPECT_EQ(picture2.callsOf(Op::DrawLine).size(), 3u); // the axes and the marker
}

TEST(RateChart, WithoutAPositiveRateFallsBackToOne)
{
    RunResult run = test::resultWith(1, true, {1, 1, 1, 1, 1, 1});
    test::sweepFlat(run, -3);
    run.percentPenetration = 40;
    EXPECT_EQ(chartMaximum(run), 0.0);

    RecordingSurface picture2;
    drawRateChart(picture2, run);
    const auto scale = picture2.callsOf(Op::SetScale).at(0);
    EXPECT_FLOAT_EQ(scale.at[1], 1.2f);
    EXPECT_FLOAT_EQ(scale.at[3], -0.2f);
    EXPECT_EQ(picture2.callsOf(Op::DrawLine).at(0).at, (std::array<float, 4>{0, 1, 0, 0}));
    const std::vector<Label> labels = labelsOf(picture2);
    ASSERT_EQ(labels.size(), 7u);
    EXPECT_EQ(labels[3].text, ""); // no maximum rate to show
    EXPECT_EQ(labels[6].text, "No positive rate");
    // On the fallback scale neither points nor the design-point marker would mean anything.
    EXPECT_TRUE(picture2.callsOf(Op::SetPoint).empty());
    EXPECT_EQ(picture2.callsOf(Op::DrawLine).size(), 2u);
}

TEST(RateChart, TopLabelStaysClearOfTheAxisAndInside)
{
    // Characters as wide as on the window's chart: 6.6 of its 229 pixels, of 140 units.
    constexpr float charWidth = 6.6f * 140 / 229;
    struct Case
    {
        double maximum;
        const char *label;
        bool moved;                   // up to the top edge, above the axis's end
        std::vector<int> fitRequests; // smaller text, and back, for a label wider than the chart
    };
    const Case cases[] = {
        {0.4, "0.400", true, {}},
        {28, "28", false, {}},
        {28652, "28652", true, {}},
        {286519, "286519", true, {}},
        {211119293, "211119293", true, {}},
        {1e37, "1e+37", true, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        RunResult run = test::resultWith(1, true, {1, 1, 1, 1, 1, 1});
        test::sweepFlat(run, c.maximum);
        RecordingSurface picture2;
        picture2.charWidth = charWidth;
        drawRateChart(picture2, run);
        EXPECT_EQ(chartContent(run), ChartContent::Rates);

        const Label top = labelsOf(picture2).at(3);
        EXPECT_EQ(top.text, c.label);
        const float y = static_cast<float>((c.moved ? 1.2 : 1.05) * c.maximum);
        EXPECT_EQ(top, (Label{-18, y, c.label}));
        const float end = top.x + charWidth * static_cast<float>(top.text.size());
        if (!c.moved) {
            EXPECT_LE(end, -1.0f);
        } else if (c.fitRequests.empty()) {
            EXPECT_LE(end, 120.0f);
        }
        EXPECT_EQ(picture2.fitRequests, c.fitRequests);
        EXPECT_EQ(picture2.callsOf(Op::SetPoint).size(), 6u * pointsPerSeries);
    }
}

TEST(RateChart, RatesBeyondSinglePrecisionDrawNoSeries)
{
    struct Case
    {
        double rate;
        ChartContent content;
        std::string_view text;
    };
    const Case cases[] = {
        {1e300, ChartContent::TooLarge, chartTooLargeText},
        {1e39, ChartContent::TooLarge, chartTooLargeText},
        {1e-300, ChartContent::TooSmall, chartTooSmallText},
        {1e-38, ChartContent::TooSmall, chartTooSmallText},
    };
    for (const auto &[rate, content, text] : cases) {
        SCOPED_TRACE(rate);
        RunResult run = test::resultWith(1, true, {1, 1, 1, 1, 1, 1});
        test::sweepFlat(run, rate);
        run.percentPenetration = 40;
        EXPECT_EQ(chartContent(run), content);
        RecordingSurface picture2;
        drawRateChart(picture2, run);
        const auto scale = picture2.callsOf(Op::SetScale).at(0);
        EXPECT_FLOAT_EQ(scale.at[1], 1.2f);
        EXPECT_FLOAT_EQ(scale.at[3], -0.2f);
        EXPECT_TRUE(picture2.callsOf(Op::SetPoint).empty());
        const std::vector<Label> labels = labelsOf(picture2);
        ASSERT_EQ(labels.size(), 8u);
        EXPECT_EQ(labels[3].text, "");
        EXPECT_EQ(labels[6].text + " " + labels[7].text, text);

        // The pointer's read-out says so too, rather than reading the fallback scale.
        chartPointerMoved(picture2, &run, 0, 0, 50, 0.5f);
        EXPECT_EQ(picture2.callsOf(Op::SetToolTip).back().text, text);
    }
    // Within range the read-out reads the chart, with the digits of its scale.
    RecordingSurface picture2;
    const RunResult run = chartOf250();
    chartPointerMoved(picture2, &run, 0, 0, 50, 123.6f);
    EXPECT_EQ(picture2.callsOf(Op::SetToolTip).back().text, "50,124");
    RunResult small = test::resultWith(1, true, {1, 1, 1, 1, 1, 1});
    test::sweepFlat(small, 0.0345);
    chartPointerMoved(picture2, &small, 0, 0, 36, 0.0123f);
    EXPECT_EQ(picture2.callsOf(Op::SetToolTip).back().text, "36,0.0123");
}

TEST(RateChart, NothingCalculatedSaysSo)
{
    RunResult run = test::resultWith(1, true, {1, 1, 1, 1, 1, 1});
    for (Correlation c : callOrder)
        test::failAt(run, c);
    test::sweepFlat(run, 10);
    for (Correlation c : callOrder)
        run.sweepRates[indexOf(c)].fill(std::nullopt);
    EXPECT_EQ(chartContent(run), ChartContent::NothingCalculated);
    RecordingSurface picture2;
    drawRateChart(picture2, run);
    const std::vector<Label> labels = labelsOf(picture2);
    ASSERT_EQ(labels.size(), 8u);
    EXPECT_EQ(labels[6].text + " " + labels[7].text, chartNothingCalculatedText);
    EXPECT_TRUE(picture2.callsOf(Op::SetPoint).empty());
    // No design-point marker among no points, and no rate read off the fallback scale.
    EXPECT_EQ(picture2.callsOf(Op::DrawLine).size(), 2u);
    chartPointerMoved(picture2, &run, 0, 0, 40, 0.5f);
    EXPECT_EQ(picture2.callsOf(Op::SetToolTip).back().text, chartNothingCalculatedText);
}

TEST(RateChart, SecondChartReplacesTheFirst)
{
    RecordingSurface picture2;
    drawRateChart(picture2, chartOf250());
    RunResult second = test::resultWith(2, false, {1, 1, 1, 1, 1, 1});
    test::sweepFlat(second, 50);
    drawRateChart(picture2, second);

    EXPECT_EQ(picture2.callsOf(Op::SetEmptyPicture).size(), 2u);
    const auto scales = picture2.callsOf(Op::SetScale, true);
    ASSERT_EQ(scales.size(), 1u);
    EXPECT_FLOAT_EQ(scales[0].at[1], 60.0f);
    EXPECT_EQ(picture2.callsOf(Op::SetPoint, true).size(), 5u * pointsPerSeries);
    EXPECT_EQ(picture2.lines().size(), 6u);
}

} // namespace
} // namespace coning
