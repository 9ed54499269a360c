#include "simulation_output.h"

#include "json_result.h"
#include "program.h"

#include "calc/correlation.h"
#include "calc/message_text.h"
#include "report/number_format.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace coning::cli {
namespace {

using sim::FluidSystem;
using sim::Status;

std::string formatted(const char *format, double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

const char *unitOf(FluidSystem system)
{
    return system == FluidSystem::GasWater ? "MCF/DAY" : "STB/DAY";
}

const char *cutName(FluidSystem system)
{
    return system == FluidSystem::GasOil ? "gas cut" : "water cut";
}

// A limit as shown: rounded down, never up past what was simulated, to `decimals` or to as many
// more as `significant` digits take (a rate of 0.00661 is not "0.00").
std::string floored(double value, int decimals, int significant)
{
    if (value > 0.0 && std::isfinite(value))
        decimals = std::max(decimals,
                            significant - 1 - static_cast<int>(std::floor(std::log10(value))));
    decimals = std::min(decimals, 30);
    const double scale = std::pow(10.0, decimals);
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, std::floor(value * scale) / scale);
    return buffer;
}

std::string upper(std::string text)
{
    for (char &c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string years(double value)
{
    return formatted("%g", value) + (value == 1.0 ? " year" : " years");
}

std::string shortest(double value)
{
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

// Every setting the model used, defaults included, in one line.
std::string modelLine(const SimulationReport &report)
{
    const sim::SimulationSettings &s = report.settings;
    const FluidSystem system = report.system;
    const bool gasOil = system == FluidSystem::GasOil;
    const bool crossSection = report.geometry == sim::Geometry::CrossSection;
    std::string line = std::string(crossSection ? "  Model: cross-section across the well, kv/kh "
                                                : "  Model: kv/kh ")
                       + shortest(s.kvKh) + ", porosity " + shortest(s.porosity)
                       + (gasOil ? ", gas " : ", water ")
                       + shortest(sim::displacingViscosity(system, s)) + " cp, connate water "
                       + shortest(sim::connateWater(s, system));
    if (s.relpermTable) {
        line.append(", relative permeabilities from ")
            .append(escapedForMessage(s.relpermTable->file));
    } else {
        const sim::CoreyCurves c = sim::coreyCurves(s);
        line.append(system == FluidSystem::GasWater ? ", residual gas " : ", residual oil ")
            .append(shortest(c.residualSaturation))
            .append(", Corey exponents ")
            .append(shortest(c.exponents[0]) + "," + shortest(c.exponents[1]))
            .append(", end points ")
            .append(shortest(c.endpoints[0]) + "," + shortest(c.endpoints[1]));
    }
    line.append(gasOil ? ", gas cap " : ", bottom water ")
        .append(shortest(report.aquiferThickness))
        .append(" ft, ")
        .append(sim::boundaryText(s.outerBoundary))
        .append(" outer boundary, initial pressure ")
        .append(shortest(s.initialPressure))
        .append(" psia, minimum BHP ")
        .append(shortest(s.minimumBhp))
        .append(" psia\n");
    return line;
}

// A volume as shown: `up` for what costs (water), down for what pays (oil), never the other way.
std::string volume(double value, bool up)
{
    return formatted("%.0f", up ? std::ceil(value) : std::floor(value));
}

std::string padded(const std::string &text, std::size_t width)
{
    return std::string(text.size() < width ? width - text.size() : 0, ' ') + text;
}

std::string daysCell(const std::optional<double> &days)
{
    return days ? floored(*days, 1, 2) : std::string("none");
}

// The rate study as a table, one line per rate, and the rate that recovers the most.
void appendStudyText(std::string &out, const SimulationReport &report, bool modelShown)
{
    const sim::RateStudy &study = *report.study;
    const FluidSystem system = report.system;
    const bool gasProduced = system == FluidSystem::GasWater;
    const char *producedName = gasProduced ? "gas MCF" : "oil STB";
    const char *conedName = system == FluidSystem::GasOil ? "gas MCF" : "water STB";
    out.append("\nSIMULATED RATE STUDY OVER ")
        .append(upper(years(report.settings.years)))
        .append(" TO A ")
        .append(upper(cutName(system)))
        .append(" OF ")
        .append(formatted("%g", study.economicCut))
        .append(" (")
        .append(study.engine)
        .append(", ")
        .append(std::to_string(study.runs))
        .append(" runs)\n");
    if (!modelShown)
        out.append(modelLine(report));
    out.append("  ")
        .append(gasProduced ? "gas" : "oil")
        .append(" initially in place within the drainage radius: ")
        .append(volume(study.inPlace, false))
        .append(gasProduced ? " MCF\n" : " STB\n");
    out.append("  ")
        .append(padded(unitOf(system), 10))
        .append("  held  breakthrough  economic cut  produced until")
        .append(padded(producedName, 12))
        .append(padded(conedName, 12))
        .append("  recovery\n");
    out.append("                         days          days            days\n");
    for (const sim::StudyRow &row : study.rows) {
        out.append("  ")
            .append(padded(formatted("%g", row.rate), 10))
            .append(row.held ? "   yes" : "    no")
            .append(padded(daysCell(row.breakthroughDays), 14))
            .append(padded(daysCell(row.economicDays), 14))
            .append(padded(floored(row.untilDays, 1, 2), 16))
            .append(padded(volume(row.produced, false), 12))
            .append(padded(volume(row.coned, true), 12))
            .append(padded(floored(row.recovery * 100.0, 2, 2) + " %", 10))
            .append("\n");
    }
    for (const sim::StudyRow &row : study.rows) {
        if (!row.held)
            out.append("  at ")
                .append(formatted("%g", row.rate))
                .append(": ")
                .append(row.fellOff)
                .append("\n");
    }
    const bool beyond = std::any_of(study.rows.begin(), study.rows.end(), [](const auto &row) {
        return row.recovery > 1.0;
    });
    if (beyond)
        out.append("  a recovery above 100 % is ")
            .append(gasProduced ? "gas" : "oil")
            .append(" that flowed in across the constant-pressure outer boundary\n");
    const sim::StudyRow *best = nullptr;
    for (const sim::StudyRow &row : study.rows) {
        if (row.held && (!best || row.produced > best->produced))
            best = &row;
    }
    if (best) {
        out.append("Most ")
            .append(gasProduced ? "gas" : "oil")
            .append(" before the economic cut at a rate held: ")
            .append(volume(best->produced, false))
            .append(gasProduced ? " MCF" : " STB")
            .append(" at ")
            .append(formatted("%g", best->rate))
            .append(" ")
            .append(unitOf(system))
            .append(", for ")
            .append(volume(best->coned, true))
            .append(system == FluidSystem::GasOil ? " MCF gas.\n" : " STB water.\n");
    }
}

} // namespace

std::string simulationFailureText(const SimulationReport &report)
{
    std::string text;
    for (const std::string &failure : sim::simulationFailures(report))
        text.append(programName).append(": ").append(failure).append("\n");
    return text;
}

void appendSimulationMember(std::string &out, const SimulationReport &report)
{
    out.push_back(',');
    appendKey(out, "simulation");
    sim::appendSimulationJson(out, report);
}

void appendSimulationText(std::string &out, const SimulationReport &report)
{
    const FluidSystem system = report.system;
    const std::string unit = unitOf(system);
    const std::string horizon = years(report.settings.years);
    const std::string threshold = formatted("%g", report.settings.breakthroughCut);
    if (report.rate && report.rate->status == Status::Done) {
        const sim::RateRun &run = report.rate->run;
        out.append("\nSIMULATED PRODUCTION AT ")
            .append(formatted("%g", run.rate))
            .append(" ")
            .append(unit)
            .append(" FOR ")
            .append(upper(horizon))
            .append(" (")
            .append(report.rate->engine)
            .append(")\n");
        out.append(modelLine(report));
        out.append("  breakthrough (").append(cutName(system)).append(" above ").append(threshold);
        if (run.breakthroughDays
            && sim::firstCutAbove(run.cut, report.settings.breakthroughCut) == 0) {
            // Above the cut at the first summary point: it came at some time before it.
            out.append("): within the first ")
                .append(formatted("%g", run.days.front()))
                .append(run.days.front() == 1.0 ? " day\n" : " days\n");
        } else if (run.breakthroughDays) {
            out.append("): after ")
                .append(floored(*run.breakthroughDays, 1, 2))
                .append(" days (")
                .append(floored(*run.breakthroughDays / 365.25, 2, 2))
                .append(" years)\n");
        } else {
            out.append("): no breakthrough in ").append(horizon).append("\n");
        }
        out.append("  ").append(cutName(system)).append(":");
        for (std::size_t i = 0; i < sim::cutReportYears.size(); ++i) {
            if (run.cutAtYears[i]) {
                out.append("  ")
                    .append(years(sim::cutReportYears[i]))
                    .append(" ")
                    .append(formatted("%.4f", *run.cutAtYears[i]));
            }
        }
        out.append("  end ").append(formatted("%.4f", run.finalCut)).append("\n");
        const bool gasProduced = system == FluidSystem::GasWater;
        out.append("  cumulative production: ")
            .append(formatted("%.0f", run.cumulativeProduced))
            .append(gasProduced ? " MCF gas, " : " STB oil, ")
            .append(formatted("%.0f", run.cumulativeConed))
            .append(system == FluidSystem::GasOil ? " MCF gas\n" : " STB water\n");
    }
    const bool rateShown = report.rate && report.rate->status == Status::Done;
    const bool criticalShown = report.critical && report.critical->status == Status::Done;
    if (report.study && report.study->status == Status::Done)
        appendStudyText(out, report, rateShown);
    if (criticalShown) {
        const sim::CriticalSimulation &critical = *report.critical;
        out.append("\nSIMULATED CRITICAL RATE OVER ")
            .append(upper(horizon))
            .append(" (")
            .append(critical.engine)
            .append(", ")
            .append(std::to_string(critical.runs))
            .append(" runs)\n");
        if (!rateShown && !(report.study && report.study->status == Status::Done))
            out.append(modelLine(report));
        out.append("  ")
            .append(floored(critical.low, 2, 3))
            .append(" to ")
            .append(floored(critical.high, 2, 3))
            .append(" ")
            .append(unit)
            .append(": the ")
            .append(cutName(system))
            .append(" stays at or below ")
            .append(threshold)
            .append(" at ")
            .append(floored(critical.low, 2, 3))
            .append(", not at ")
            .append(floored(critical.high, 2, 3))
            .append("\n");
        // The correlations of the well, by name, in their report's order.
        std::vector<std::pair<std::string_view, const CorrelationOutcome *>> rows;
        if (report.correlations) {
            for (Correlation c : callOrder) {
                if (report.correlations->outcome(c).evaluated)
                    rows.emplace_back(correlationName(c), &report.correlations->outcome(c));
            }
        } else if (report.horizontalCorrelations) {
            for (HorizontalCorrelation c : horizontalOrder)
                rows.emplace_back(horizontalCorrelationName(c),
                                  &report.horizontalCorrelations->outcome(c));
        } else {
            return;
        }
        out.append("  correlation          rate    versus the simulated ")
            .append(floored(critical.low, 2, 3))
            .append("\n");
        std::optional<std::string_view> closest;
        double closestPercent = 0.0;
        for (const auto &[correlation, outcomePointer] : rows) {
            const CorrelationOutcome &outcome = *outcomePointer;
            std::string name(correlation);
            name.resize(14, ' ');
            out.append("  ").append(name);
            if (!outcome.shown()) {
                out.append("     failed\n");
                continue;
            }
            const double percent = sim::percentFromCritical(outcome.rate, critical);
            const std::string rate = formatRate(outcome.rate);
            out.append(std::string(rate.size() < 11 ? 11 - rate.size() : 0, ' ')).append(rate);
            const std::string change = formatted("%.1f", std::abs(percent));
            out.append(std::string(change.size() < 10 ? 10 - change.size() : 0, ' '))
                .append(change)
                .append(percent >= 0.0 ? " % above\n" : " % below\n");
            if (!closest || std::abs(percent) < std::abs(closestPercent)) {
                closest = correlation;
                closestPercent = percent;
            }
        }
        if (closest) {
            out.append(*closest)
                .append(" is the closest (")
                .append(formatted("%.1f", std::abs(closestPercent)))
                .append(closestPercent >= 0.0 ? " % above" : " % below")
                .append(" the simulated critical rate).\n"
                        "A rate above the simulated one cones within the horizon; one below "
                        "leaves production unused.\n");
        }
    }
}

} // namespace coning::cli
