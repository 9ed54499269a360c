#include "design_dicts.h"

#include "one_well.h"
#include "py_values.h"

#include "calc/design.h"

namespace py = pybind11;

namespace coning::python {
namespace {

OneWellInput oneWell(std::optional<std::string> fluidSystem,
                     std::optional<std::string> completion,
                     const WellValues &values)
{
    OneWellInput input;
    input.fluidSystem = std::move(fluidSystem);
    input.completion = std::move(completion);
    input.values = values;
    return input;
}

py::dict ratesDict(const CorrelationRates &rates, bool meyerGarder)
{
    py::dict d;
    for (Correlation c : callOrder) {
        if (c != Correlation::MeyerGarder || meyerGarder)
            d[text(correlationName(c))] = numberOrNone(rates[indexOf(c)]);
    }
    return d;
}

template<typename Texts>
py::list textList(const Texts &texts)
{
    py::list list;
    for (const auto &one : texts)
        list.append(text(one));
    return list;
}

py::dict errorDict(const std::string &error)
{
    py::dict d;
    d["error"] = text(error);
    return d;
}

} // namespace

py::dict targetPenetrationDict(std::optional<std::string> fluidSystem,
                               std::optional<std::string> completion,
                               const WellValues &values,
                               double targetRate)
{
    OneWellInput input = oneWell(std::move(fluidSystem), std::move(completion), values);
    input.targetRate = targetRate;
    Well well;
    const DesignRequest request = checkOneWell(input, well);
    TargetPenetration design;
    {
        py::gil_scoped_release unlocked;
        design = targetPenetration(well, request.targetRate.value());
    }
    if (design.failed())
        return errorDict(design.error);

    py::dict d;
    for (Correlation c : callOrder) {
        const std::optional<PenetrationDesign> &one = design.correlations[indexOf(c)];
        if (!one)
            continue;
        py::dict entry;
        entry["maxPenetration"] = numberOrNone(one->maxPenetration);
        entry["maxPercent"] = numberOrNone(one->maxPercent);
        if (design.gasOil)
            entry["minCompletionTop"] = numberOrNone(one->minCompletionTop);
        entry["peakRate"] = numberOrNone(one->peakRate);
        entry["peakPenetration"] = numberOrNone(one->peakPenetration);
        d[text(correlationName(c))] = entry;
    }
    return d;
}

py::dict sensitivityDict(std::optional<std::string> fluidSystem,
                         std::optional<std::string> completion,
                         const WellValues &values,
                         double percent)
{
    OneWellInput input = oneWell(std::move(fluidSystem), std::move(completion), values);
    input.sensitivityPercent = percent;
    Well well;
    const DesignRequest request = checkOneWell(input, well);
    Sensitivity result;
    {
        py::gil_scoped_release unlocked;
        result = sensitivity(well, request.sensitivityPercent.value());
    }
    if (result.failed())
        return errorDict(result.error);

    py::list inputs;
    for (const SensitivityInput &one : result.inputs) {
        py::dict entry;
        entry["input"] = text(one.input);
        entry["low"] = ratesDict(one.low, result.meyerGarderEvaluated);
        entry["high"] = ratesDict(one.high, result.meyerGarderEvaluated);
        if (one.lowOutside() || one.highOutside()) {
            py::dict warnings;
            if (one.lowOutside())
                warnings["low"] = textList(one.lowWarnings);
            if (one.highOutside())
                warnings["high"] = textList(one.highWarnings);
            entry["warnings"] = warnings;
        }
        inputs.append(entry);
    }
    py::dict d;
    d["percent"] = py::float_(result.percent);
    d["inputs"] = inputs;
    if (!result.notVaried.empty())
        d["notVaried"] = textList(result.notVaried);
    return d;
}

} // namespace coning::python
