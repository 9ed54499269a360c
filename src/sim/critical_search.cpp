#include "simulation.h"

#include "model_run.h"
#include "process_pool.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <optional>

namespace coning::sim {

namespace {

// A bracket search on one grid: evaluates several rates at once and narrows [low, high] until
// high <= ratio * low, low without breakthrough and high with it.
class BracketSearch
{
public:
    BracketSearch(const ModelSource &source,
                  const SimulationSettings &settings,
                  const std::filesystem::path &flow,
                  const SimulationControl &control,
                  const GridSize &grid,
                  bool accurate)
        : m_source(source)
        , m_settings(settings)
        , m_flow(flow)
        , m_control(control)
        , m_grid(grid)
        , m_accurate(accurate)
        , m_system(source.system)
    {}

    // Searches from a guess of the answer between `first` and `last`; `widen` is the factor
    // to step outwards by when the answer lies outside what has been tried.
    Status search(double first, double last, double widen, double ratio, int &runs)
    {
        const unsigned jobs = m_control.jobs > 0 ? m_control.jobs : defaultJobs();
        const double lowest = first * 1e-6;
        const double highest = last * 1e6;
        std::vector<double> rates = {first, last};
        bool lowMoved = false;
        bool highMoved = false;
        int oneSided = 0; // interpolations in a row that moved only one end
        while (true) {
            std::vector<Attempt> attempts(rates.size());
            runTasks(rates.size(), jobs, [&](std::size_t i) {
                try {
                    const ReservoirModel model = m_source.build(rates[i], m_grid);
                    // A run that breaks through after the first quarter of the horizon
                    // goes on to its end (its rate checked only up to the breakthrough):
                    // near the answer, where breakthrough times jump from years to never,
                    // the highest cut interpolates on both sides. Runs far above it stop
                    // early (after breakthrough, gas coning can take long to simulate).
                    attempts[i] = runModel(model,
                                           m_flow,
                                           m_settings,
                                           m_control,
                                           m_settings.breakthroughCut,
                                           m_accurate && m_control.keepDeck.has_value(),
                                           0.25);
                } catch (const std::exception &error) { // nothing may leave a worker thread
                    attempts[i].message = std::string("the model cannot be built: ") + error.what();
                }
            });
            lowMoved = false;
            highMoved = false;
            for (std::size_t i = 0; i < rates.size(); ++i) {
                ++runs;
                Attempt &attempt = attempts[i];
                // Cuts too small to tell from the simulator's rounding say nothing of the
                // curve near the threshold.
                const bool smooth = attempt.cutMargin && *attempt.cutMargin > std::log(1e-4);
                if (smooth) {
                    attempt.margin = *attempt.cutMargin;
                    m_smooth.push_back(Point{rates[i], attempt.margin, true});
                }
                if (attempt.status == Status::Cancelled)
                    return fail(Status::Cancelled, "cancelled");
                if (attempt.status != Status::Done) {
                    return fail(attempt.status,
                                "at " + rateText(rates[i], m_system) + ": " + attempt.message);
                }
                report(runs, rates[i], attempt.brokeThrough);
                if (attempt.brokeThrough) {
                    if (!m_high || rates[i] < m_high->rate) {
                        m_nextHigh = m_high;
                        m_high = Point{rates[i], attempt.margin, smooth};
                        highMoved = true;
                    } else if (!m_nextHigh || rates[i] < m_nextHigh->rate) {
                        m_nextHigh = Point{rates[i], attempt.margin, smooth};
                    }
                } else if (m_low && rates[i] <= m_low->rate) {
                    if (!m_nextLow || rates[i] > m_nextLow->rate)
                        m_nextLow = Point{rates[i], attempt.margin, smooth};
                } else {
                    m_nextLow = m_low;
                    m_low = Point{rates[i], attempt.margin, smooth};
                    m_lowAttempt = std::move(attempt);
                    lowMoved = true;
                }
            }
            if (m_low && m_high && m_high->rate <= m_low->rate) {
                return fail(Status::Failed,
                            "the cut does not grow with the rate: no breakthrough at "
                                + rateText(m_low->rate, m_system) + " but at "
                                + rateText(m_high->rate, m_system));
            }
            if (m_low && m_high && m_high->rate <= ratio * m_low->rate)
                return Status::Done;

            if (m_low && m_high) {
                // Interpolations that keep leaving the answer on one side are followed by an
                // even split, so that a lopsided margin cannot keep the search crawling (the
                // highest cut's quadratic earns a second try, the margin's line none).
                oneSided = lowMoved && highMoved ? 0 : oneSided + 1;
                const bool interpolate = oneSided <= (estimate() ? 2 : 1);
                rates = interpolate ? inside(jobs, ratio, lowMoved) : evenSplit(jobs);
                if (!interpolate)
                    oneSided = 0;
            } else if (m_high) {
                if (m_high->rate / widen < lowest)
                    return fail(Status::Failed,
                                "breakthrough even at " + rateText(m_high->rate, m_system));
                rates = outside(*m_high, m_nextHigh, 1.0 / widen, jobs, ratio);
            } else {
                if (m_low->rate * widen > highest)
                    return fail(Status::Failed,
                                "no breakthrough even at " + rateText(m_low->rate, m_system));
                rates = outside(*m_low, m_nextLow, widen, jobs, ratio);
            }
        }
    }

    double low() const { return m_low->rate; }
    // How fast the highest cut's margin grows with the logarithm of the rate at the estimated
    // answer; nothing without an estimate.
    std::optional<double> slope() const
    {
        const std::optional<double> x = estimate();
        if (!x || !m_curve)
            return std::nullopt;
        return m_curve->slope + m_curve->curvature * ((*x - m_curve->a) + (*x - m_curve->b));
    }
    // A slope from another grid, for stepping out of a bracket its answer missed.
    void useSlope(std::optional<double> slope) { m_slopeHint = slope; }
    // The rate where the highest cut crosses the threshold, interpolated between the runs
    // around it; the middle of the bracket where that cannot be done.
    double guess() const
    {
        const std::optional<double> x = estimate();
        return x ? std::exp(*x) : std::sqrt(m_low->rate * m_high->rate);
    }
    double high() const { return m_high->rate; }
    const Attempt &lowAttempt() const { return m_lowAttempt; }
    const std::string &message() const { return m_message; }

private:
    struct Point
    {
        double rate;
        double margin;
        bool smooth; // the highest cut's margin, not a breakthrough time's
    };

    // The quadratic of the last estimate: fa + (x - a) (slope + curvature (x - b)).
    struct Curve
    {
        double a, b, slope, curvature;
    };

    // The logarithm of the rate where the margin crosses zero, from a quadratic through low,
    // high and the nearest other run whose highest cut is known (a line through the first
    // two without one); nothing unless low and high both have it. The quadratic takes the
    // margins at low and high exactly, so a root lies between them; bisection finds it.
    std::optional<double> estimate() const
    {
        if (!m_low || !m_high || !m_low->smooth || !m_high->smooth)
            return std::nullopt;
        const double a = std::log(m_low->rate);
        const double b = std::log(m_high->rate);
        const double fa = m_low->margin;
        const double fb = m_high->margin;
        std::optional<Point> third;
        double nearest = 0.0;
        for (const Point &point : m_smooth) {
            const double c = std::log(point.rate);
            if (c == a || c == b)
                continue;
            const double distance = c < a ? a - c : c - b;
            if (!third || distance < nearest) {
                third = point;
                nearest = distance;
            }
        }
        const double slope = (fb - fa) / (b - a);
        double curvature = 0.0;
        if (third) {
            const double c = std::log(third->rate);
            curvature = ((third->margin - fa) / (c - a) - slope) / (c - b);
        }
        m_curve = Curve{a, b, slope, curvature};
        const auto margin = [&](double x) { return fa + (x - a) * (slope + curvature * (x - b)); };
        if (!(fa <= 0.0 && fb > 0.0) || !std::isfinite(slope) || !std::isfinite(curvature))
            return std::nullopt;
        double lo = a;
        double hi = b;
        for (int i = 0; i < 60; ++i) {
            const double mid = (lo + hi) / 2.0;
            (margin(mid) > 0.0 ? hi : lo) = mid;
        }
        return (lo + hi) / 2.0;
    }

    // The next rates between low and high: around the rate where the margin, interpolated
    // linearly in the logarithm of the rate, crosses zero, close enough that two of them would
    // end the search. One process: one rate, on the side not narrowed last.
    std::vector<double> inside(unsigned jobs, double ratio, bool lowMoved) const
    {
        const double a = std::log(m_low->rate);
        const double b = std::log(m_high->rate);
        double x = a + (b - a) * (0.0 - m_low->margin) / (m_high->margin - m_low->margin);
        const std::optional<double> estimated = estimate();
        // Where the highest cuts are known, a quadratic through them. Otherwise: the margin
        // of runs stopped at breakthrough (the logarithm of the time it took) is close to
        // linear in the logarithm of the rate; before it (the logarithm of a tiny cut) it is
        // not. With two runs that broke through, extrapolate from them.
        if (estimated) {
            x = *estimated;
        } else if (m_nextHigh && !m_high->smooth && !m_nextHigh->smooth
                   && m_nextHigh->margin > m_high->margin) {
            const double c = std::log(m_nextHigh->rate);
            x = b + (c - b) * (0.0 - m_high->margin) / (m_nextHigh->margin - m_high->margin);
        }
        if (!std::isfinite(x))
            x = (a + b) / 2.0;
        // Never hug an end: an interpolation that keeps landing on one side moves slowly.
        x = std::clamp(x, a + 0.1 * (b - a), b - 0.1 * (b - a));
        // Two runs close enough to end the search, or, while [low, high] is wide, farther
        // apart: the interpolation is good to some tenth of the bracket, and runs around it
        // that both land on one side shrink the bracket little.
        const double half = std::max(0.49 * std::log(ratio), (estimated ? 0.08 : 0.15) * (b - a));
        std::vector<double> offsets;
        if (jobs <= 1)
            offsets = {lowMoved ? half : -half};
        else
            for (unsigned i = 0; i < jobs; ++i)
                offsets.push_back(-half + 2.0 * half * i / (jobs - 1));
        std::vector<double> rates;
        for (double offset : offsets) {
            // Runs spread wide stay inside the bracket, a twentieth of it from its ends.
            const double y = std::clamp(x + offset, a + 0.05 * (b - a), b - 0.05 * (b - a));
            if (y > a && y < b && (rates.empty() || std::exp(y) > rates.back()))
                rates.push_back(std::exp(y));
        }
        if (rates.empty())
            rates.push_back(std::exp((a + b) / 2.0));
        return rates;
    }

    // Rates splitting [low, high] evenly in the logarithm, one per process.
    std::vector<double> evenSplit(unsigned jobs) const
    {
        const double span = std::log(m_high->rate / m_low->rate);
        const unsigned parts = std::max(1U, jobs) + 1;
        std::vector<double> rates;
        for (unsigned i = 1; i < parts; ++i)
            rates.push_back(m_low->rate * std::exp(span * i / parts));
        return rates;
    }

    // The next rates beyond `nearest` when every run so far fell on its side: around the rate
    // where the margin, extrapolated from the two nearest runs, would cross zero (at most
    // `widen` to the power of the process count away), else steps of `widen`.
    std::vector<double> outside(const Point &nearest,
                                const std::optional<Point> &next,
                                double widen,
                                unsigned jobs,
                                double ratio) const
    {
        const unsigned count = std::max(2U, jobs);
        const double step = std::log(widen);
        std::vector<double> rates;
        const bool hinted = nearest.smooth && m_slopeHint && *m_slopeHint > 0.0;
        if (hinted || (next && next->margin != nearest.margin)) {
            const double a = std::log(nearest.rate);
            // With the other grid's slope at its answer: the grids' curves differ mostly by a
            // shift, which one run measures.
            double x = hinted ? a - nearest.margin / *m_slopeHint
                              : a
                                    + (std::log(next->rate) - a) * (0.0 - nearest.margin)
                                          / (next->margin - nearest.margin);
            const double far = a + step * count;
            // Beyond `nearest`, and no farther than the plain steps would go.
            x = step > 0.0 ? std::clamp(x, a + 0.5 * step, far)
                           : std::clamp(x, far, a + 0.5 * step);
            const double half = 0.49 * std::log(ratio);
            for (unsigned i = 0; i < count; ++i) {
                const double y = x - half + 2.0 * half * i / (count - 1);
                if (step > 0.0 ? y > a : y < a)
                    rates.push_back(std::exp(y));
            }
            if (!rates.empty())
                return rates;
        }
        for (unsigned i = 1; i <= count; ++i)
            rates.push_back(nearest.rate * std::exp(step * i));
        return rates;
    }

    Status fail(Status status, std::string message)
    {
        m_message = std::move(message);
        return status;
    }

    void report(int runs, double rate, bool brokeThrough)
    {
        if (!m_control.progress)
            return;
        std::string line = "run " + std::to_string(runs) + (m_accurate ? "" : " (coarse grid)")
                           + ": " + rateText(rate, m_system)
                           + (brokeThrough ? ", breakthrough" : ", no breakthrough");
        m_control.progress(line);
    }

    const ModelSource &m_source;
    const SimulationSettings &m_settings;
    const std::filesystem::path &m_flow;
    const SimulationControl &m_control;
    GridSize m_grid;
    bool m_accurate;
    FluidSystem m_system;
    std::optional<Point> m_low, m_high;
    std::optional<Point> m_nextLow, m_nextHigh; // the runs nearest to them on the same side
    std::vector<Point> m_smooth;                // every run whose highest cut is known
    mutable std::optional<Curve> m_curve;
    std::optional<double> m_slopeHint;
    Attempt m_lowAttempt;
    std::string m_message;
};

} // namespace

CriticalSimulation simulateCritical(const Well &well,
                                    const SimulationSettings &settings,
                                    const std::vector<double> &expected,
                                    const SimulationControl &control)
{
    return simulateCritical(modelSource(well, settings), settings, expected, control);
}

CriticalSimulation simulateCritical(const ModelSource &source,
                                    const SimulationSettings &settings,
                                    const std::vector<double> &expected,
                                    const SimulationControl &control)
{
    CriticalSimulation result;
    std::filesystem::path flow;
    result.status = prepare(source.problems, settings, control, flow, result.engine, result.message);
    if (result.status != Status::Done)
        return result;

    double first = 1.0;
    double last = 1000.0;
    std::vector<double> usable;
    for (double rate : expected) {
        if (rate > 0.0 && std::isfinite(rate))
            usable.push_back(rate);
    }
    if (!usable.empty()) {
        first = *std::min_element(usable.begin(), usable.end());
        last = *std::max_element(usable.begin(), usable.end());
        if (last < first * 1.1) { // one rate, or all alike: a range around them
            first /= 1.5;
            last *= 1.5;
        }
    }

    // Progress lines come from one thread at a time.
    std::mutex progressMutex;
    SimulationControl serialised = control;
    if (control.progress) {
        serialised.progress = [&](const std::string &line) {
            const std::lock_guard lock(progressMutex);
            control.progress(line);
        };
    }

    // A cheap grid places the answer (its runs cost a third of an accurate run, and its
    // critical rate is within about 1.5 % of the accurate grid's); the accurate grid's first two
    // runs then straddle that answer by the ratio the search ends at, which may end it at once.
    // Otherwise their margins, with the cheap grid's slope, point the way.
    constexpr double ratio = 1.005;
    std::optional<BracketSearch> coarse;
    coarse.emplace(source, settings, flow, serialised, source.coarse, false);
    result.status = coarse->search(first, last, 2.0, 1.03, result.runs);
    if (result.status == Status::Failed) {
        // The cheap grid's long steps are a risk the accurate grid's short ones are not: a
        // failed run there is tried again with those.
        GridSize grid = source.coarse;
        grid.stepGrowth = source.accurate.stepGrowth;
        grid.stepsPerHorizon = source.accurate.stepsPerHorizon;
        coarse.emplace(source, settings, flow, serialised, grid, false);
        result.status = coarse->search(first, last, 2.0, 1.03, result.runs);
    }
    if (result.status != Status::Done) {
        result.message = coarse->message();
        return result;
    }
    const double guess = coarse->guess();
    const double half = std::sqrt(ratio) * (1.0 - 1e-9); // the two runs within the ratio
    BracketSearch accurate(source, settings, flow, serialised, source.accurate, true);
    accurate.useSlope(coarse->slope());
    result.status = accurate.search(guess / half, guess * half, 1.01, ratio, result.runs);
    if (result.status != Status::Done) {
        result.message = accurate.message();
        return result;
    }
    result.low = accurate.low();
    result.high = accurate.high();
    if (control.keepDeck) {
        if (auto problem = keepFiles(*control.keepDeck, accurate.lowAttempt())) {
            result.status = Status::Failed;
            result.message = *problem;
        }
    }
    return result;
}

} // namespace coning::sim
