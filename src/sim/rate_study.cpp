#include "rate_study.h"

#include "calc/message_text.h"
#include "calc/strict_number.h"

#include "model_run.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <stdexcept>

namespace coning::sim {
namespace {

constexpr double pi = 3.141592653589793;

// Three significant digits, so that a table of automatic rates reads 12.3, 45.6, ...
double roundedToThreeDigits(double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.3g", value);
    return std::strtod(buffer, nullptr);
}

} // namespace

std::optional<std::string> readStudyRates(std::string_view text, RateStudyRequest &request)
{
    request.rates.clear();
    request.automatic = text == "auto";
    if (request.automatic)
        return std::nullopt;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        double rate = 0.0;
        if (auto problem = readSimulatedRate(text.substr(start, comma - start), rate))
            return *problem + " (give \"auto\" or rates separated by commas)";
        request.rates.push_back(rate);
        if (comma == text.size())
            break;
        start = comma + 1;
    }
    if (request.rates.size() > maximumStudyRates)
        return "at most " + std::to_string(maximumStudyRates) + " rates";
    std::sort(request.rates.begin(), request.rates.end());
    const auto twice = std::adjacent_find(request.rates.begin(), request.rates.end());
    if (twice != request.rates.end())
        return "the rate " + numberForMessage(*twice) + " is given twice";
    return std::nullopt;
}

std::optional<std::string> readEconomicCut(std::string_view text, double &cut)
{
    if (auto problem = readStrictNumber(text, cut))
        return problem;
    if (!(cut > 0.0 && cut < 1.0))
        return quotedForMessage(text) + " is not a fraction greater than 0 and less than 1";
    return std::nullopt;
}

std::optional<std::string> checkEconomicCut(double economicCut, double breakthroughCut)
{
    if (!(economicCut > breakthroughCut))
        return numberForMessage(economicCut) + " is not above the breakthrough cut "
               + numberForMessage(breakthroughCut);
    return std::nullopt;
}

double initiallyInPlace(const RadialModel &model)
{
    // The zone's cells inside the drainage radius: not the boundary ring, not the aquifer.
    double poreVolumes = 0.0;
    for (std::size_t ring = 0; ring + 1 < model.columnEdges.size(); ++ring) {
        for (std::size_t k = model.firstZoneLayer; k < model.firstZoneLayer + model.zoneLayers; ++k)
            poreVolumes += poreVolume(model, ring, k);
    }
    return poreVolumes * (1.0 - model.connateWater) / model.producedFvf;
}

StudyRow studyRow(const RateRun &run, double economicCut, double inPlace)
{
    StudyRow row;
    row.rate = run.rate;
    row.held = run.rateCheck.verdict == RateVerdict::Held;
    if (!row.held) {
        row.fellOffDays = run.rateCheck.days;
        row.fellOff = run.rateCheck.problem;
    }
    row.breakthroughDays = run.breakthroughDays;
    row.economicDays = breakthroughTime(run.days, run.cut, economicCut);
    const std::optional<std::size_t> above = firstCutAbove(run.cut, economicCut);
    if (above && *above == 0)
        return row; // above the economic cut from the first summary time: nothing counts
    const std::size_t until = above ? *above - 1 : run.days.size() - 1;
    row.untilDays = run.days[until];
    row.produced = run.producedTotal[until];
    row.coned = run.conedTotal[until];
    row.recovery = row.produced / inPlace;
    return row;
}

std::vector<double> automaticRates(const Well &well,
                                   const SimulationSettings &settings,
                                   const std::vector<double> &expected)
{
    const RadialModel model = buildModel(well, settings, 1.0, accurateGrid(settings));
    // Steady radial inflow of the completed interval from the drainage radius at the lowest
    // bottom-hole pressure, in the model's own quantities.
    double kh = 0.0;
    for (std::size_t k = model.firstOpenLayer; k < model.firstOpenLayer + model.openLayers; ++k)
        kh += model.horizontalPermeability * model.layerThickness[k];
    const double drawdown = model.initialPressure - model.minimumBhp;
    const double lnRatio = std::log(model.columnEdges.back() / model.columnEdges.front());
    const double deliverable = darcyConstant * 2.0 * pi * kh * drawdown
                               / (model.producedViscosity * model.producedFvf * lnRatio);
    double lowest = 0.0;
    for (double rate : expected) {
        if (rate > 0.0 && std::isfinite(rate) && (lowest == 0.0 || rate < lowest))
            lowest = rate;
    }
    double low = lowest > 0.0 ? lowest / 2.0 : deliverable / 100.0;
    double high = deliverable;
    if (!(low > 0.0 && std::isfinite(low) && high > 0.0 && std::isfinite(high)))
        throw std::runtime_error("no deliverability to choose rates from: give the rates");
    // Past the estimate, so that the top rates show where the well stops holding its rate.
    high = std::max(1.5 * high, 4.0 * low);
    std::vector<double> rates;
    const double span = std::log(high / low);
    for (std::size_t i = 0; i < automaticRateCount; ++i) {
        const double rate = roundedToThreeDigits(
            low * std::exp(span * static_cast<double>(i) / (automaticRateCount - 1)));
        if (rates.empty() || rate > rates.back())
            rates.push_back(rate);
    }
    return rates;
}

RateStudy studyRates(const Well &well,
                     const SimulationSettings &settings,
                     const RateStudyRequest &request,
                     const std::vector<double> &expected,
                     const SimulationControl &control)
{
    RateStudy study;
    study.economicCut = request.economicCut;
    std::filesystem::path flow;
    study.status = prepare(well, settings, control, flow, study.engine, study.message);
    if (study.status != Status::Done)
        return study;
    if (auto problem = checkEconomicCut(request.economicCut, settings.breakthroughCut)) {
        study.status = Status::Failed;
        study.message = "--" + std::string(economicCutName) + ": " + *problem;
        return study;
    }
    const FluidSystem system = fluidSystemOf(well);
    std::vector<double> rates = request.rates;
    try {
        if (request.automatic)
            rates = automaticRates(well, settings, expected);
        study.inPlace = initiallyInPlace(buildModel(well, settings, 1.0, accurateGrid(settings)));
    } catch (const std::exception &error) {
        study.status = Status::Failed;
        study.message = std::string("the model cannot be built: ") + error.what();
        return study;
    }
    if (!(study.inPlace > 0.0 && std::isfinite(study.inPlace))) {
        study.status = Status::Failed;
        study.message = "the model holds nothing in place to recover";
        return study;
    }

    std::mutex progressMutex;
    int finished = 0;
    std::vector<Attempt> attempts(rates.size());
    const unsigned jobs = control.jobs > 0 ? control.jobs : defaultJobs();
    runTasks(rates.size(), jobs, [&](std::size_t i) {
        try {
            const RadialModel model = buildModel(well, settings, rates[i], accurateGrid(settings));
            attempts[i] = runModel(model, flow, settings, control, request.economicCut, false);
        } catch (const std::exception &error) { // nothing may leave a worker thread
            attempts[i].message = std::string("the model cannot be built: ") + error.what();
        }
        if (control.progress) {
            const std::lock_guard lock(progressMutex);
            control.progress("rate study: " + std::to_string(++finished) + " of "
                             + std::to_string(rates.size()) + " rates done");
        }
    });
    study.runs = static_cast<int>(rates.size());
    for (std::size_t i = 0; i < rates.size(); ++i) {
        const Attempt &attempt = attempts[i];
        if (attempt.status == Status::Cancelled) {
            study.status = Status::Cancelled;
            study.message = "cancelled";
            return study;
        }
    }
    for (std::size_t i = 0; i < rates.size(); ++i) {
        const Attempt &attempt = attempts[i];
        const bool usable = attempt.status == Status::Done || attempt.status == Status::RateNotHeld;
        if (!usable || !attempt.run) {
            study.status = Status::Failed;
            study.message = "at " + rateText(rates[i], system) + ": "
                            + (usable ? "the simulator's summary could not be read after the "
                                        "economic cut"
                                      : attempt.message);
            study.rows.clear();
            return study;
        }
        study.rows.push_back(studyRow(*attempt.run, request.economicCut, study.inPlace));
    }
    study.status = Status::Done;
    return study;
}

} // namespace coning::sim
