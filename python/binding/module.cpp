// The compiled part of the Python package: one well as the command line's JSON object, and tables
// of wells calculated in C++ without the interpreter lock. The package's Python side gives them
// their keyword signatures, documentation and the pandas and matplotlib conveniences.
#include "design_dicts.h"
#include "horizontal.h"
#include "number_text.h"
#include "one_well.h"
#include "py_values.h"
#include "frame_row.h"
#include "simulation.h"
#include "well_table.h"

#include "calc/design_request.h"
#include "calc/strict_number.h"
#include "calc/well_messages.h"
#include "sim/settings.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <thread>

#ifndef CONING_VERSION
#    define CONING_VERSION "unknown"
#endif

namespace py = pybind11;
using namespace coning;

namespace {

using python::numberOrNone;
using python::text;

py::list warningList(const RunResult &result)
{
    py::list warnings;
    for (const std::string &warning : result.warnings)
        warnings.append(text(warning));
    return warnings;
}

py::dict sweepDict(const RunResult &result)
{
    py::dict sweep;
    py::list percent;
    for (int p = sweepFirstPercent; p <= sweepLastPercent; ++p)
        percent.append(p);
    sweep["percent"] = percent;
    for (Correlation c : callOrder) {
        if (c == Correlation::MeyerGarder && !result.meyerGarderCondition)
            continue;
        py::list points;
        const auto &rates = result.sweepRates[indexOf(c)];
        for (int p = sweepFirstPercent; p <= sweepLastPercent; ++p)
            points.append(numberOrNone(rates[p]));
        sweep[text(correlationName(c))] = points;
    }
    return sweep;
}

// The keys and values of the command line's single-well JSON object.
py::dict resultDict(const Well &well, const RunResult &result)
{
    py::dict d;
    if (result.failed()) {
        d["error"] = text(result.error);
    } else {
        d["fluidSystem"] = text(well.fluidSystem);
        d["completion"] = text(completionText(well.completion));
        d["unit"] = text(rateUnit(result.fluidSystem));
        d["percentPenetration"] = python::withoutNegativeZero(result.percentPenetration);
        py::dict rates;
        py::dict failures;
        for (Correlation c : callOrder) {
            const CorrelationOutcome &outcome = result.outcome(c);
            if (outcome.shown())
                rates[text(correlationName(c))] = python::withoutNegativeZero(outcome.rate);
            else if (outcome.failed())
                failures[text(correlationName(c))] = text(outcome.failure);
        }
        d["rates"] = rates;
        if (!failures.empty())
            d["failures"] = failures;
        if (result.swept)
            d["sweep"] = sweepDict(result);
        if (py::dict failed = python::sweepFailuresDict(result); !failed.empty())
            d["sweepFailures"] = failed;
    }
    if (!result.warnings.empty())
        d["warnings"] = warningList(result);
    return d;
}

py::dict calculate(std::optional<std::string> fluidSystem,
                   std::optional<std::string> completion,
                   const std::array<std::optional<double>, numericFieldCount> &values,
                   bool sweep)
{
    const python::OneWellInput input{
        std::move(fluidSystem), std::move(completion), values, sweep, {}, {}};
    Well well;
    const RunResult result = calculateOneWell(input, well);
    return resultDict(well, result);
}

using IndexArray = py::array_t<std::int32_t, py::array::c_style | py::array::forcecast>;
using ValueArray = py::array_t<double, py::array::c_style | py::array::forcecast>;

python::ChoiceColumn choiceColumn(const std::vector<std::string> &names,
                                  const std::optional<IndexArray> &index,
                                  std::size_t count)
{
    python::ChoiceColumn column{names, nullptr};
    if (index) {
        if (static_cast<std::size_t>(index->size()) != count)
            throw std::invalid_argument("choice index of the wrong length");
        column.index = index->data();
    }
    return column;
}

python::ValueColumn valueColumn(const std::optional<ValueArray> &values, std::size_t count)
{
    if (!values)
        return {};
    if (static_cast<std::size_t>(values->size()) != count && values->size() != 1)
        throw std::invalid_argument("value column of the wrong length");
    return {values->data(), values->size() == 1};
}

// Calculates `count` wells given column by column; see calculate_many in the package.
py::dict calculateWells(std::size_t count,
                        const std::vector<std::string> &fluidSystemNames,
                        const std::optional<IndexArray> &fluidSystemIndex,
                        const std::vector<std::string> &completionNames,
                        const std::optional<IndexArray> &completionIndex,
                        const std::vector<std::optional<ValueArray>> &values,
                        const std::optional<ValueArray> &targetRate,
                        std::vector<std::tuple<std::size_t, std::size_t, std::string>> textCells,
                        long firstLine)
{
    if (values.size() != numericFieldCount)
        throw std::invalid_argument("one value column per numeric field is needed");
    python::WellTable table;
    table.count = count;
    table.firstLine = firstLine;
    table.fluidSystem = choiceColumn(fluidSystemNames, fluidSystemIndex, count);
    table.completion = choiceColumn(completionNames, completionIndex, count);
    for (std::size_t f = 0; f < numericFieldCount; ++f)
        table.values[f] = valueColumn(values[f], count);
    table.targetRate = valueColumn(targetRate, count);
    for (auto &[row, field, cellText] : textCells) {
        if (row >= count || field > python::targetRateField)
            throw std::invalid_argument("text cell outside the table");
        table.textCells.push_back({row, field, std::move(cellText)});
    }
    std::stable_sort(table.textCells.begin(),
                     table.textCells.end(),
                     [](const python::TextCell &a, const python::TextCell &b) {
                         return a.row < b.row;
                     });

    const auto size = static_cast<py::ssize_t>(count);
    py::array_t<double> percent(size);
    py::array_t<std::int8_t> system(size);
    py::array_t<std::int32_t> message(size);
    std::vector<py::array_t<double>> rates;
    std::vector<py::array_t<double>> maxPenetration;
    python::WellResults results;
    results.percentPenetration = percent.mutable_data();
    results.fluidSystem = system.mutable_data();
    results.message = message.mutable_data();
    for (int c = 0; c < correlationCount; ++c) {
        results.rates[c] = rates.emplace_back(size).mutable_data();
        if (table.design())
            results.maxPenetration[c] = maxPenetration.emplace_back(size).mutable_data();
    }
    // Ctrl-C reaches Python only where the interpreter lock is held: look for it now and then.
    const auto interrupted = [] {
        py::gil_scoped_acquire locked;
        return PyErr_CheckSignals() != 0;
    };
    bool finished = false;
    {
        py::gil_scoped_release unlocked;
        finished = python::calculateTable(table,
                                          results,
                                          std::thread::hardware_concurrency(),
                                          interrupted);
    }
    if (!finished)
        throw py::error_already_set();

    py::dict d;
    d["percentPenetration"] = percent;
    for (Correlation c : callOrder)
        d[text(correlationName(c))] = rates[indexOf(c)];
    if (table.design()) {
        py::dict lengths;
        for (Correlation c : callOrder)
            lengths[text(correlationName(c))] = maxPenetration[indexOf(c)];
        d["maxPenetration"] = lengths;
    }
    d["fluidSystem"] = system;
    py::list messageTexts;
    for (const std::string &messageText : results.messageTexts)
        messageTexts.append(text(messageText));
    d["messageIds"] = message;
    d["messageTexts"] = messageTexts;
    return d;
}

// The command line's usage message for `text` given to the option `option` ("--permeability:
// ..."), or None when the option takes it.
std::optional<std::string> numberProblem(std::string_view option, std::string_view text)
{
    double value = 0.0;
    std::optional<std::string> problem;
    if (option == targetRateName) {
        problem = readTargetRate(text, value);
    } else if (option == sensitivityName) {
        problem = readSensitivityPercent(text, value);
    } else if (option == sim::simulateRateName) {
        problem = sim::readSimulatedRate(text, value);
    } else if (sim::SimulationSettings settings; sim::isSetting(option)) {
        problem = sim::readSetting(option, text, settings);
    } else {
        const auto &fields = numericFields();
        const auto field = std::find_if(fields.begin(), fields.end(), [&](const NumericField &f) {
            return f.name == option;
        });
        if (field == fields.end())
            throw std::invalid_argument("not a numeric option");
        WellInput input;
        input.values[static_cast<std::size_t>(field - fields.begin())] = text;
        Well well;
        for (const InputProblem &p : checkWell(input, well)) {
            if (p.field == option && p.kind == InputProblem::Kind::Invalid)
                return optionProblemText(p);
        }
        return std::nullopt;
    }
    if (!problem)
        return std::nullopt;
    return "--" + std::string(option) + ": " + *problem;
}

} // namespace

PYBIND11_MODULE(_core, m)
{
    m.doc() = "The compiled calculation core of the coning package; use the functions of coning.";
    m.attr("__version__") = CONING_VERSION;

    py::list correlations;
    for (Correlation c : callOrder)
        correlations.append(text(correlationName(c)));
    m.attr("CALL_ORDER") = py::tuple(correlations);
    py::list fields;
    for (const NumericField &field : numericFields())
        fields.append(text(field.name));
    m.attr("NUMERIC_FIELDS") = py::tuple(fields);
    py::list simulationColumns;
    simulationColumns.append(text(sim::simulateRateName));
    for (std::string_view name : sim::wellSettingNames)
        simulationColumns.append(text(name));
    m.attr("SIMULATION_COLUMNS") = py::tuple(simulationColumns);
    py::list horizontalNames;
    for (const HorizontalField &field : horizontalFields())
        horizontalNames.append(text(field.name));
    m.attr("HORIZONTAL_FIELDS") = py::tuple(horizontalNames);
    py::list horizontalCorrelations;
    for (HorizontalCorrelation c : horizontalOrder)
        horizontalCorrelations.append(text(horizontalCorrelationName(c)));
    m.attr("HORIZONTAL_CORRELATIONS") = py::tuple(horizontalCorrelations);

    py::register_exception<python::UsageError>(m, "UsageError", PyExc_ValueError);
    // What the command line reports with exit status 1 (a rate the well cannot hold, a failed
    // run); raised by the package with the result attached.
    struct SimulationFailure : std::runtime_error
    {
        using std::runtime_error::runtime_error;
    };
    const auto &simulationError = py::register_exception<SimulationFailure>(m,
                                                                            "SimulationError",
                                                                            PyExc_RuntimeError);
    py::register_exception<python::SimulatorMissing>(m,
                                                     "SimulatorNotFoundError",
                                                     simulationError.ptr());

    m.def("calculate",
          &calculate,
          py::arg("fluid_system"),
          py::arg("completion"),
          py::arg("values"),
          py::arg("sweep"),
          "One well as the command line's JSON object; values in the order of NUMERIC_FIELDS.");
    m.def("calculate_horizontal",
          &python::calculateHorizontal,
          py::arg("fluid_system"),
          py::arg("values"),
          "One horizontal well as the command line's JSON object; values in the order of "
          "HORIZONTAL_FIELDS.");
    m.def("horizontal_row",
          &python::horizontalRow,
          py::arg("line"),
          py::arg("fluid_system"),
          py::arg("cells"),
          py::arg("vertical_columns"),
          "One horizontal row of a table: its rates, unit and message, as batch mode gives them.");
    m.def("calculate_wells",
          &calculateWells,
          py::arg("count"),
          py::arg("fluid_system_names"),
          py::arg("fluid_system_index"),
          py::arg("completion_names"),
          py::arg("completion_index"),
          py::arg("values"),
          py::arg("target_rate"),
          py::arg("text_cells"),
          py::arg("first_line"),
          "The design point (and design) of a table of wells, column by column.");
    m.def("target_penetration",
          &python::targetPenetrationDict,
          py::arg("fluid_system"),
          py::arg("completion"),
          py::arg("values"),
          py::arg("target_rate"),
          "The command line's JSON \"design\" member of one well for a target rate.");
    m.def("sensitivity",
          &python::sensitivityDict,
          py::arg("fluid_system"),
          py::arg("completion"),
          py::arg("values"),
          py::arg("percent"),
          "The command line's JSON \"sensitivity\" member of one well for a percentage.");
    m.def("simulation",
          &python::simulationJson,
          py::arg("fluid_system"),
          py::arg("completion"),
          py::arg("values"),
          py::arg("rate"),
          py::arg("critical"),
          py::arg("rates"),
          py::arg("economic_cut"),
          py::arg("settings"),
          py::arg("jobs"),
          py::arg("keep_deck"),
          "The command line's JSON \"simulation\" member of one well, as its text.");
    m.def("horizontal_simulation",
          &python::horizontalSimulationJson,
          py::arg("fluid_system"),
          py::arg("values"),
          py::arg("rate"),
          py::arg("critical"),
          py::arg("settings"),
          py::arg("jobs"),
          py::arg("keep_deck"),
          "The command line's JSON \"simulation\" member of one horizontal well, as its text; "
          "values in the order of HORIZONTAL_FIELDS.");
    python::defineFrameRows(m);
    m.def("number_problem",
          &numberProblem,
          py::arg("option"),
          py::arg("text"),
          "The command line's usage message for the text given to the option, or None.");
    m.def("quoted_for_message",
          &quotedForMessage,
          py::arg("text"),
          "A text quoted for a message as the command line quotes it: escaped, shortened.");
    m.def(
        "is_decimal_number",
        [](std::string_view s) { return checkStrictNumber(s) == NumberCheck::Valid; },
        py::arg("text"),
        "Whether the text is one plain decimal number within the double range.");
}
