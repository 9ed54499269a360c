#include "batch_simulation.h"

#include "calc/json_text.h"
#include "sim/row_simulation.h"

namespace coning::cli {

void appendSimulationCsvHeader(std::string &out, SimulationColumns columns)
{
    if (columns.rate)
        out.append(",breakthrough-days");
    if (columns.critical)
        out.append(",simulated-critical-low,simulated-critical-high");
    if (columns.study)
        out.append(",rate,rate-held,rate-breakthrough-days,economic-days,until-days,produced,"
                   "coning-phase-produced,recovery");
}

void appendSimulationCsvCells(std::string &out,
                              SimulationColumns columns,
                              const sim::SimulationReport *report,
                              const sim::StudyRow *studyRow)
{
    const sim::RowSimulationCells cells = report ? sim::rowSimulationCells(*report)
                                                 : sim::RowSimulationCells{};
    const auto cell = [&out](const std::optional<double> &value) {
        out.push_back(',');
        if (value)
            appendShortest(out, *value);
    };
    if (columns.rate)
        cell(cells.breakthroughDays);
    if (columns.critical) {
        cell(cells.criticalLow);
        cell(cells.criticalHigh);
    }
    if (columns.study) {
        if (!studyRow) {
            out.append(8, ',');
            return;
        }
        cell(studyRow->rate);
        out.append(studyRow->held ? ",true" : ",false");
        cell(studyRow->breakthroughDays);
        cell(studyRow->economicDays);
        cell(studyRow->untilDays);
        cell(studyRow->produced);
        cell(studyRow->coned);
        cell(studyRow->recovery);
    }
}

void readRowSimulation(std::optional<std::string_view> rateText,
                       const std::vector<std::pair<std::string_view, std::string_view>> &settings,
                       const BatchSimulation &options,
                       const Well &well,
                       std::vector<InputProblem> &problems,
                       RowSimulation &simulation)
{
    sim::readRowSimulation(rateText,
                           settings,
                           options.critical,
                           options.study,
                           options.settings,
                           well,
                           problems,
                           simulation);
}

} // namespace coning::cli
