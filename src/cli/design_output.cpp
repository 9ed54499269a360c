#include "design_output.h"

#include "calc/word_list.h"
#include "json_result.h"
#include "report/correlation_style.h"
#include "report/number_format.h"
#include "shortest_number.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace coning::cli {
namespace {

bool evaluated(Correlation c, const TargetPenetration &design)
{
    return design.correlations[indexOf(c)].has_value();
}

void appendRatesObject(std::string &out, const CorrelationRates &rates, bool meyerGarder)
{
    out.push_back('{');
    bool first = true;
    for (Correlation c : callOrder) {
        if (c == Correlation::MeyerGarder && !meyerGarder)
            continue;
        if (!first)
            out.push_back(',');
        first = false;
        appendKey(out, correlationName(c));
        appendNumberOrNull(out, rates[indexOf(c)]);
    }
    out.push_back('}');
}

// printf-style fixed decimals, without a sign on a value that shows as zero.
std::string fixed(double value, int decimals)
{
    char buffer[64];
    const int length = std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    std::string text = length > 0 && length < int(sizeof buffer) ? std::string(buffer, length)
                                                                 : formatRate(value);
    if (text.starts_with('-') && text.find_first_not_of("-0.") == std::string::npos)
        text.erase(0, 1);
    return text;
}

std::string feet(double value)
{
    return fixed(value, 2) + " ft";
}

void appendPadded(std::string &out, std::string_view text, std::size_t width, bool right = true)
{
    const std::size_t pad = text.size() < width ? width - text.size() : 0;
    if (right)
        out.append(pad, ' ');
    out.append(text);
    if (!right)
        out.append(pad, ' ');
}

std::vector<std::string_view> namesOf(const std::vector<Correlation> &correlations)
{
    std::vector<std::string_view> names;
    for (Correlation c : correlations)
        names.push_back(correlationName(c));
    return names;
}

constexpr std::size_t nameWidth = 14;

} // namespace

void appendTargetPenetrationJson(std::string &out, const TargetPenetration &design)
{
    out.push_back(',');
    appendKey(out, "targetRate");
    appendShortest(out, design.targetRate);
    out.push_back(',');
    appendKey(out, "design");
    out.push_back('{');
    bool first = true;
    for (Correlation c : callOrder) {
        if (!evaluated(c, design))
            continue;
        const PenetrationDesign &d = *design.correlations[indexOf(c)];
        if (!first)
            out.push_back(',');
        first = false;
        appendKey(out, correlationName(c));
        out.append("{\"maxPenetration\":");
        appendNumberOrNull(out, d.maxPenetration);
        out.append(",\"maxPercent\":");
        appendNumberOrNull(out, d.maxPercent);
        if (design.gasOil) {
            out.append(",\"minCompletionTop\":");
            appendNumberOrNull(out, d.minCompletionTop);
        }
        out.append(",\"peakRate\":");
        appendNumberOrNull(out, d.peakRate);
        out.append(",\"peakPenetration\":");
        appendNumberOrNull(out, d.peakPenetration);
        out.push_back('}');
    }
    out.push_back('}');
}

void appendSensitivityJson(std::string &out, const Sensitivity &sensitivity)
{
    out.push_back(',');
    appendKey(out, "sensitivity");
    out.push_back('{');
    appendKey(out, "percent");
    appendShortest(out, sensitivity.percent);
    out.append(",\"inputs\":[");
    bool first = true;
    for (const SensitivityInput &input : sensitivity.inputs) {
        if (!first)
            out.push_back(',');
        first = false;
        out.push_back('{');
        appendKey(out, "input");
        appendJsonString(out, input.input);
        out.append(",\"low\":");
        appendRatesObject(out, input.low, sensitivity.meyerGarderEvaluated);
        out.append(",\"high\":");
        appendRatesObject(out, input.high, sensitivity.meyerGarderEvaluated);
        out.push_back('}');
    }
    out.append("]}");
}

void appendTargetPenetrationText(std::string &out,
                                 const TargetPenetration &design,
                                 std::string_view unit)
{
    std::string target = shortest(design.targetRate).append(" ").append(unit);
    out.append("\nPENETRATION FOR A TARGET RATE OF ").append(target).push_back('\n');
    out.append("  working zone thickness ").append(feet(design.zoneThickness)).push_back('\n');

    constexpr std::size_t column = 16;
    constexpr std::size_t topColumn = 20;
    appendPadded(out, "", nameWidth + 2);
    appendPadded(out, "max penetration", column);
    appendPadded(out, "max percent", column);
    if (design.gasOil)
        appendPadded(out, "min completion top", topColumn);
    appendPadded(out, "peak rate", column);
    appendPadded(out, "at penetration", column);
    out.push_back('\n');

    std::vector<Correlation> allowing;
    std::optional<Correlation> smallest;
    for (const CorrelationStyle &style : reportOrder) {
        const Correlation c = style.correlation;
        if (!evaluated(c, design))
            continue;
        const PenetrationDesign &d = *design.correlations[indexOf(c)];
        out.append("  ");
        appendPadded(out, correlationName(c), nameWidth, false);
        if (d.maxPenetration) {
            allowing.push_back(c);
            const auto &best = smallest ? design.correlations[indexOf(*smallest)] : std::nullopt;
            if (!best || *d.maxPenetration < *best->maxPenetration)
                smallest = c;
            appendPadded(out, feet(*d.maxPenetration), column);
            appendPadded(out, fixed(*d.maxPercent, 1) + " %", column);
            if (design.gasOil)
                appendPadded(out, feet(*d.minCompletionTop), topColumn);
        } else {
            appendPadded(out, "below target", column);
            appendPadded(out, "-", column);
            if (design.gasOil)
                appendPadded(out, "-", topColumn);
        }
        if (d.peakRate) {
            appendPadded(out, formatRate(*d.peakRate), column);
            appendPadded(out, feet(*d.peakPenetration), column);
        } else {
            appendPadded(out, "failed", column);
            appendPadded(out, "-", column);
        }
        out.push_back('\n');
    }

    if (allowing.empty()) {
        out.append("No correlation allows ").append(target).append(" at any penetration.\n");
        return;
    }
    const PenetrationDesign &best = *design.correlations[indexOf(*smallest)];
    out.append(joinedWithAnd(namesOf(allowing)));
    out.append(allowing.size() == 1 ? " allows " : " allow ").append(target);
    out.append("; the smallest max penetration is ").append(feet(*best.maxPenetration));
    out.append(" (").append(correlationName(*smallest)).append(").\n");
}

void appendSensitivityText(std::string &out, const Sensitivity &sensitivity)
{
    const std::string percent = shortest(sensitivity.percent);
    out.append("\nSENSITIVITY TO EACH INPUT, -").append(percent).append(" % AND +");
    out.append(percent).append(" %\n");
    out.append("  change of each design-point rate, in percent, with the input at ");
    out.append(shortest(sensitivity.lowFactor)).append(" and ");
    out.append(shortest(sensitivity.highFactor)).append(" times its value\n");

    std::vector<Correlation> shown;
    for (const CorrelationStyle &style : reportOrder) {
        if (style.correlation != Correlation::MeyerGarder || sensitivity.meyerGarderEvaluated)
            shown.push_back(style.correlation);
    }
    constexpr std::size_t inputWidth = 22;
    constexpr std::size_t influenceWidth = 10;
    out.append("  ");
    appendPadded(out, "input", inputWidth, false);
    appendPadded(out, "influence", influenceWidth);
    for (Correlation c : shown)
        appendPadded(out, correlationName(c), nameWidth);
    out.push_back('\n');

    std::vector<const SensitivityInput *> sorted;
    for (const SensitivityInput &input : sensitivity.inputs)
        sorted.push_back(&input);
    std::stable_sort(sorted.begin(), sorted.end(), [](const auto *a, const auto *b) {
        return a->influence && (!b->influence || *a->influence > *b->influence);
    });

    const auto change = [&](const std::optional<double> &rate, Correlation c) -> std::string {
        const std::optional<double> &base = sensitivity.base[indexOf(c)];
        if (!rate)
            return "failed";
        if (!base || *base == 0.0)
            return "-";
        const double relative = (*rate - *base) / std::fabs(*base) * 100.0;
        if (!std::isfinite(relative))
            return "-";
        std::string text = fixed(relative, 1);
        return text.starts_with('-') ? text : "+" + text;
    };
    for (const SensitivityInput *input : sorted) {
        out.append("  ");
        appendPadded(out, input->input, inputWidth, false);
        appendPadded(out,
                     input->influence ? fixed(*input->influence * 100.0, 1) + " %" : "-",
                     influenceWidth);
        for (Correlation c : shown) {
            const std::string low = change(input->low[indexOf(c)], c);
            const std::string high = change(input->high[indexOf(c)], c);
            appendPadded(out, low + "/" + high, nameWidth);
        }
        out.push_back('\n');
    }

    const SensitivityInput *most = sensitivity.mostInfluential();
    if (!most) {
        out.append("No input changes a rate that can be compared.\n");
        return;
    }
    // The correlation that moves most with it.
    std::optional<Correlation> moved;
    double largest = -1.0;
    for (Correlation c : shown) {
        const std::optional<double> &base = sensitivity.base[indexOf(c)];
        if (!base || *base == 0.0)
            continue;
        for (const auto *rates : {&most->low, &most->high}) {
            const std::optional<double> &rate = (*rates)[indexOf(c)];
            if (!rate)
                continue;
            const double relative = std::fabs(*rate - *base) / std::fabs(*base);
            if (relative > largest) {
                largest = relative;
                moved = c;
            }
        }
    }
    out.append("The answer depends most on the ").append(most->input).append(": a ");
    out.append(percent).append(" % change moves the ");
    out.append(correlationName(moved.value_or(Correlation::Sobocinski)));
    out.append(" rate by up to ").append(fixed(*most->influence * 100.0, 1)).append(" %.\n");
}

std::string designJsonMembers(const Well &well, const DesignRequest &request)
{
    std::string members;
    if (request.targetRate)
        appendTargetPenetrationJson(members, targetPenetration(well, *request.targetRate));
    if (request.sensitivityPercent)
        appendSensitivityJson(members, sensitivity(well, *request.sensitivityPercent));
    return members;
}

void appendDesignText(std::string &out, const Well &well, const DesignRequest &request)
{
    if (request.targetRate) {
        const TargetPenetration design = targetPenetration(well, *request.targetRate);
        if (!design.failed()) {
            const std::int16_t system = well.fluidSystem == "Gas-Water" ? 2 : 1;
            appendTargetPenetrationText(out, design, rateUnit(system));
        }
    }
    if (request.sensitivityPercent) {
        const Sensitivity result = sensitivity(well, *request.sensitivityPercent);
        if (!result.failed())
            appendSensitivityText(out, result);
    }
}

void appendTargetPenetrationCsvHeader(std::string &out)
{
    for (Correlation c : callOrder)
        out.append(",max-penetration:").append(correlationName(c));
}

void appendTargetPenetrationCsvCells(std::string &out, const TargetPenetration *design)
{
    for (Correlation c : callOrder) {
        out.push_back(',');
        if (!design || design->failed())
            continue;
        const std::optional<PenetrationDesign> &d = design->correlations[indexOf(c)];
        if (d && d->maxPenetration)
            appendShortest(out, *d->maxPenetration);
    }
}

} // namespace coning::cli
