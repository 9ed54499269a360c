#include "simulation_report.h"

#include "calc/correlation.h"
#include "calc/json_text.h"

#include <charconv>
#include <cmath>

namespace coning::sim {
namespace {

void appendArray(std::string &out, std::string_view key, const std::vector<double> &values)
{
    appendKey(out, key);
    out.push_back('[');
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            out.push_back(',');
        // The summary holds single precision: its shortest form, not the widened digits.
        const double value = std::isfinite(values[i]) ? values[i] : 0.0;
        const auto single = static_cast<float>(value);
        if (static_cast<double>(single) == value) {
            char buffer[32];
            const auto end = std::to_chars(buffer, buffer + sizeof buffer, single).ptr;
            out.append(buffer, end);
        } else {
            appendShortest(out, value);
        }
    }
    out.push_back(']');
}

void appendMember(std::string &out, std::string_view key, double value)
{
    out.push_back(',');
    appendKey(out, key);
    appendShortest(out, value);
}

void appendPair(std::string &out, std::string_view key, const std::array<double, 2> &pair)
{
    out.push_back(',');
    appendKey(out, key);
    out.push_back('[');
    appendShortest(out, pair[0]);
    out.push_back(',');
    appendShortest(out, pair[1]);
    out.push_back(']');
}

void appendOptionalMember(std::string &out, std::string_view key, std::optional<double> value)
{
    out.push_back(',');
    appendKey(out, key);
    appendNumberOrNull(out, value);
}

// The study's members; its rows only when all of them are done.
void appendStudyJson(std::string &out, const RateStudy &study)
{
    appendMember(out, "economicCut", study.economicCut);
    if (study.status == Status::Done) {
        appendMember(out, "inPlace", study.inPlace);
        out.push_back(',');
        appendKey(out, "rateStudy");
        out.push_back('[');
        for (std::size_t i = 0; i < study.rows.size(); ++i) {
            const StudyRow &row = study.rows[i];
            out.append(i > 0 ? ",{" : "{");
            appendKey(out, "rate");
            appendShortest(out, row.rate);
            out.push_back(',');
            appendKey(out, "rateHeld");
            out.append(row.held ? "true" : "false");
            appendOptionalMember(out, "fellOffDays", row.fellOffDays);
            appendOptionalMember(out, "breakthroughDays", row.breakthroughDays);
            appendOptionalMember(out, "economicDays", row.economicDays);
            appendMember(out, "untilDays", row.untilDays);
            appendMember(out, "produced", row.produced);
            appendMember(out, "coningPhaseProduced", row.coned);
            appendMember(out, "recovery", row.recovery);
            out.push_back('}');
        }
        out.push_back(']');
    }
    out.push_back(',');
    appendKey(out, "studyRuns");
    out.append(std::to_string(study.runs));
}

} // namespace

void appendModelJson(std::string &out, const SimulationReport &report)
{
    const SimulationSettings &s = report.settings;
    out.push_back('{');
    if (report.geometry == Geometry::CrossSection) {
        appendKey(out, "geometry");
        appendJsonString(out, "cross-section");
        out.push_back(',');
    }
    appendKey(out, "kvKh");
    appendShortest(out, s.kvKh);
    appendMember(out, "porosity", s.porosity);
    appendMember(out, "displacingViscosity", displacingViscosity(report.system, s));
    appendMember(out, "years", s.years);
    appendMember(out, "breakthroughCut", s.breakthroughCut);
    appendMember(out, "connateWater", connateWater(s, report.system));
    if (s.relpermTable) {
        out.push_back(',');
        appendKey(out, "relpermTable");
        appendJsonString(out, s.relpermTable->file);
    } else {
        const CoreyCurves curves = coreyCurves(s);
        appendMember(out, "residualSaturation", curves.residualSaturation);
        appendPair(out, "coreyExponents", curves.exponents);
        appendPair(out, "endpointPermeabilities", curves.endpoints);
    }
    appendMember(out, "aquiferThickness", report.aquiferThickness);
    out.push_back(',');
    appendKey(out, "outerBoundary");
    appendJsonString(out, boundaryText(s.outerBoundary));
    appendMember(out, "initialPressure", s.initialPressure);
    appendMember(out, "minimumBhp", s.minimumBhp);
    out.push_back('}');
}

namespace {

// The rate run, then the critical rate (its search starting from `expected`), of a well's
// models, into the report; stops after a cancelled one.
void simulateRateAndCritical(const ModelSource &source,
                             const std::vector<double> &expected,
                             const WellSimulation &asked,
                             const SimulationControl &control,
                             SimulationReport &report)
{
    // Both kept: each deck in a folder of its own.
    SimulationControl rateControl = control;
    SimulationControl criticalControl = control;
    if (control.keepDeck && asked.rate && asked.critical) {
        rateControl.keepDeck = *control.keepDeck / "rate";
        criticalControl.keepDeck = *control.keepDeck / "critical";
    }
    if (asked.rate) {
        report.requestedRate = asked.rate;
        report.rate = simulateRate(source, report.settings, *asked.rate, rateControl);
        if (report.rate->status == Status::Cancelled)
            return;
    }
    if (asked.critical)
        report.critical = simulateCritical(source, report.settings, expected, criticalControl);
}

bool cancelled(const SimulationReport &report)
{
    return (report.rate && report.rate->status == Status::Cancelled)
           || (report.critical && report.critical->status == Status::Cancelled);
}

} // namespace

SimulationReport simulateWell(const Well &well,
                              const RunResult &correlations,
                              const WellSimulation &asked,
                              const SimulationControl &control)
{
    SimulationReport report;
    report.settings = asked.settings;
    report.system = fluidSystemOf(well);
    report.aquiferThickness = aquiferThickness(well, asked.settings);
    report.correlations = &correlations;
    const std::vector<double> expected = correlationRates(correlations);
    simulateRateAndCritical(modelSource(well, asked.settings), expected, asked, control, report);
    if (asked.study && !cancelled(report)) {
        SimulationControl studyControl = control;
        studyControl.keepDeck.reset(); // a study keeps no deck: refused before it runs
        report.study = studyRates(well, asked.settings, *asked.study, expected, studyControl);
    }
    return report;
}

std::vector<double> correlationRates(const HorizontalResult &result)
{
    std::vector<double> rates;
    for (const CorrelationOutcome &outcome : result.outcomes) {
        if (outcome.shown() && outcome.rate > 0.0 && std::isfinite(outcome.rate))
            rates.push_back(outcome.rate);
    }
    return rates;
}

SimulationReport simulateWell(const HorizontalWell &well,
                              const HorizontalResult &correlations,
                              const WellSimulation &asked,
                              const SimulationControl &control)
{
    SimulationReport report;
    report.settings = asked.settings;
    report.settings.kvKh = well.kvKh;
    report.system = fluidSystemOf(well.fluidSystem);
    report.geometry = Geometry::CrossSection;
    report.aquiferThickness = aquiferThickness(well.zoneThickness, report.settings);
    report.horizontalCorrelations = &correlations;
    simulateRateAndCritical(modelSource(well, report.settings),
                            correlationRates(correlations),
                            asked,
                            control,
                            report);
    return report;
}

bool simulationFailed(const SimulationReport &report)
{
    return (report.rate && report.rate->status != Status::Done)
           || (report.critical && report.critical->status != Status::Done)
           || (report.study && report.study->status != Status::Done);
}

std::vector<std::string> simulationFailures(const SimulationReport &report)
{
    std::vector<std::string> failures;
    if (report.rate && report.rate->status != Status::Done)
        failures.push_back(report.rate->message);
    if (report.critical && report.critical->status != Status::Done)
        failures.push_back("simulated critical rate: " + report.critical->message);
    if (report.study && report.study->status != Status::Done)
        failures.push_back("rate study: " + report.study->message);
    return failures;
}

double percentFromCritical(double rate, const CriticalSimulation &critical)
{
    return (rate / critical.low - 1.0) * 100.0;
}

void appendSimulationJson(std::string &out, const SimulationReport &report)
{
    out.push_back('{');
    appendKey(out, "engine");
    appendJsonString(out,
                     report.rate       ? report.rate->engine
                     : report.critical ? report.critical->engine
                                       : report.study->engine);
    out.push_back(',');
    appendKey(out, "years");
    appendShortest(out, report.settings.years);
    out.push_back(',');
    appendKey(out, "breakthroughCut");
    appendShortest(out, report.settings.breakthroughCut);
    out.push_back(',');
    appendKey(out, "model");
    appendModelJson(out, report);
    if (report.rate) {
        const RateSimulation &rate = *report.rate;
        out.push_back(',');
        appendKey(out, "rate");
        appendShortest(out, report.requestedRate.value_or(rate.run.rate));
        if (rate.status == Status::Done || rate.status == Status::RateNotHeld) {
            out.push_back(',');
            appendKey(out, "rateHeld");
            out.append(rate.status == Status::Done ? "true" : "false");
        }
        if (rate.status == Status::Done) {
            const RateRun &run = rate.run;
            out.push_back(',');
            appendKey(out, "breakthroughDays");
            appendNumberOrNull(out, run.breakthroughDays);
            out.push_back(',');
            appendKey(out, "series");
            out.push_back('{');
            appendArray(out, "days", run.days);
            out.push_back(',');
            appendArray(out, "cut", run.cut);
            out.push_back(',');
            appendArray(out, "rate", run.producedRate);
            out.push_back(',');
            appendArray(out, "conedRate", run.conedRate);
            out.push_back(',');
            appendArray(out, "bottomHolePressure", run.bottomHolePressure);
            out.push_back('}');
        }
    }
    if (report.critical) {
        const CriticalSimulation &critical = *report.critical;
        if (critical.status == Status::Done) {
            out.push_back(',');
            appendKey(out, "criticalRate");
            out.append("{\"low\":");
            appendShortest(out, critical.low);
            out.append(",\"high\":");
            appendShortest(out, critical.high);
            out.push_back('}');
        }
        out.push_back(',');
        appendKey(out, "runs");
        out.append(std::to_string(critical.runs));
        const auto percent = [&](double rate) { return percentFromCritical(rate, critical); };
        if (critical.status == Status::Done && report.correlations) {
            out.push_back(',');
            appendKey(out, "comparison");
            appendShownRates(out, *report.correlations, percent);
        } else if (critical.status == Status::Done && report.horizontalCorrelations) {
            out.push_back(',');
            appendKey(out, "comparison");
            appendShownRatesOf(out,
                               *report.horizontalCorrelations,
                               horizontalOrder,
                               horizontalCorrelationName,
                               percent);
        }
    }
    if (report.study)
        appendStudyJson(out, *report.study);
    if (const std::vector<std::string> failures = simulationFailures(report); !failures.empty()) {
        std::string joined;
        for (const std::string &failure : failures)
            joined.append(joined.empty() ? "" : "; ").append(failure);
        out.push_back(',');
        appendKey(out, "error");
        appendJsonString(out, joined);
    }
    out.push_back('}');
}

} // namespace coning::sim
