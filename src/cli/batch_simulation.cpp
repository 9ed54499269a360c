#include "batch_simulation.h"

#include "calc/json_text.h"

namespace coning::cli {

void appendSimulationCsvHeader(std::string &out, SimulationColumns columns)
{
    if (columns.rate)
        out.append(",breakthrough-days");
    if (columns.critical)
        out.append(",simulated-critical-low,simulated-critical-high");
}

void appendSimulationCsvCells(std::string &out,
                              SimulationColumns columns,
                              const sim::SimulationReport *report)
{
    const bool rateDone = report && report->rate && report->rate->status == sim::Status::Done;
    const bool criticalDone = report && report->critical
                              && report->critical->status == sim::Status::Done;
    if (columns.rate) {
        out.push_back(',');
        if (rateDone && report->rate->run.breakthroughDays)
            appendShortest(out, *report->rate->run.breakthroughDays);
    }
    if (columns.critical) {
        out.push_back(',');
        if (criticalDone)
            appendShortest(out, report->critical->low);
        out.push_back(',');
        if (criticalDone)
            appendShortest(out, report->critical->high);
    }
}

void readRowSimulation(std::optional<std::string_view> rateText,
                       const std::vector<std::pair<std::string_view, std::string_view>> &settings,
                       const BatchSimulation &options,
                       const Well &well,
                       std::vector<InputProblem> &problems,
                       RowSimulation &simulation)
{
    simulation = RowSimulation{};
    simulation.critical = options.critical;
    simulation.settings = options.settings;
    if (rateText) {
        double rate = 0.0;
        if (auto problem = sim::readSimulatedRate(*rateText, rate))
            problems.push_back({InputProblem::Kind::Invalid, sim::simulateRateName, *problem});
        else
            simulation.rate = rate;
    }
    for (const auto &[name, text] : settings) {
        if (auto problem = sim::readSetting(name, text, simulation.settings))
            problems.push_back({InputProblem::Kind::Invalid, name, *problem});
    }
    if (!problems.empty() || !simulation.active())
        return;
    for (const sim::SettingProblem &problem : sim::checkSimulation(well, simulation.settings))
        problems.push_back({InputProblem::Kind::Invalid, problem.option, problem.text});
}

} // namespace coning::cli
