#include "row_simulation.h"

namespace coning::sim {

namespace {

template<class AnyWell>
void readRowSimulationOf(std::optional<std::string_view> rateText,
                         const std::vector<std::pair<std::string_view, std::string_view>> &settings,
                         bool critical,
                         const std::optional<RateStudyRequest> &study,
                         const SimulationSettings &base,
                         const AnyWell &well,
                         std::vector<InputProblem> &problems,
                         WellSimulation &simulation)
{
    simulation = WellSimulation{};
    simulation.critical = critical;
    simulation.study = study;
    simulation.settings = base;
    if (rateText) {
        double rate = 0.0;
        if (auto problem = readSimulatedRate(*rateText, rate))
            problems.push_back({InputProblem::Kind::Invalid, simulateRateName, *problem});
        else
            simulation.rate = rate;
    }
    for (const auto &[name, text] : settings) {
        if (auto problem = readSetting(name, text, simulation.settings))
            problems.push_back({InputProblem::Kind::Invalid, name, *problem});
    }
    if (!problems.empty() || !simulation.active())
        return;
    for (const SettingProblem &problem : checkSimulation(well, simulation.settings))
        problems.push_back({InputProblem::Kind::Invalid, problem.option, problem.text});
    if (study) {
        if (auto below = checkEconomicCut(study->economicCut, simulation.settings.breakthroughCut))
            problems.push_back(
                {InputProblem::Kind::Invalid, breakthroughCutName, "the economic cut " + *below});
    }
}

} // namespace

void readRowSimulation(std::optional<std::string_view> rateText,
                       const std::vector<std::pair<std::string_view, std::string_view>> &settings,
                       bool critical,
                       const std::optional<RateStudyRequest> &study,
                       const SimulationSettings &base,
                       const Well &well,
                       std::vector<InputProblem> &problems,
                       WellSimulation &simulation)
{
    readRowSimulationOf(rateText, settings, critical, study, base, well, problems, simulation);
}

void readRowSimulation(std::optional<std::string_view> rateText,
                       const std::vector<std::pair<std::string_view, std::string_view>> &settings,
                       bool critical,
                       const SimulationSettings &base,
                       const HorizontalWell &well,
                       std::vector<InputProblem> &problems,
                       WellSimulation &simulation)
{
    readRowSimulationOf(
        rateText, settings, critical, std::nullopt, base, well, problems, simulation);
}

RowSimulationCells rowSimulationCells(const SimulationReport &report)
{
    RowSimulationCells cells;
    if (report.rate && report.rate->status == Status::Done)
        cells.breakthroughDays = report.rate->run.breakthroughDays;
    if (report.critical && report.critical->status == Status::Done) {
        cells.criticalLow = report.critical->low;
        cells.criticalHigh = report.critical->high;
    }
    return cells;
}

} // namespace coning::sim
