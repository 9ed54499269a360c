#include "design_output.h"

#include "calc/word_list.h"
#include "json_result.h"
#include "report/correlation_style.h"
#include "report/number_format.h"
#include "rounded_number.h"
#include "text_table.h"

#include "model/parse_leading_number.h"

#include <algorithm>
#include <cmath>
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

std::string feet(double value)
{
    return roundedNumber(value, 2) + " ft";
}

// A rate as the report writes it, in exponent form where "####.#" would show fewer than two
// significant digits or too many digits.
std::string rateText(double value)
{
    const double magnitude = std::fabs(value);
    if (magnitude == 0.0 || (magnitude >= 1.0 && magnitude < 1e6))
        return formatRate(value);
    return roundedNumber(value, 1, Rounding::Nearest, Notation::Exponent);
}

// A limit as printed: rounded toward safety (a max penetration or percent down, a min completion
// top up) at `decimals`, with more where a run at the rounded value would still miss the target
// (a rate that jumps just below the limit), at worst the value itself. A percent is checked as
// the penetration it stands for.
std::string limitText(const TargetPenetration &design,
                      Correlation c,
                      DesignLimit limit,
                      double value,
                      int decimals = 2,
                      bool percent = false)
{
    const Rounding rounding = limit == DesignLimit::MaxPenetration ? Rounding::Down : Rounding::Up;
    for (; decimals <= 17; ++decimals) {
        const std::string text = roundedNumber(value, decimals, rounding);
        double read = ParseLeadingNumber(text);
        if (percent)
            read = read / 100.0 * design.zoneThickness;
        if (meetsTarget(design, c, limit, read))
            return text;
    }
    return shortest(value);
}

std::vector<std::string_view> namesOf(const std::vector<Correlation> &correlations)
{
    std::vector<std::string_view> names;
    for (Correlation c : correlations)
        names.push_back(correlationName(c));
    return names;
}

constexpr std::size_t nameWidth = 14;

// "key":["text", ...]
template<typename Texts>
void appendStrings(std::string &out, std::string_view key, const Texts &texts)
{
    appendKey(out, key);
    out.push_back('[');
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (i > 0)
            out.push_back(',');
        appendJsonString(out, texts[i]);
    }
    out.push_back(']');
}

// The rows of the sensitivity table in order of influence; inputs without one last.
std::vector<const SensitivityInput *> byInfluence(const Sensitivity &sensitivity)
{
    std::vector<const SensitivityInput *> sorted;
    for (const SensitivityInput &input : sensitivity.inputs)
        sorted.push_back(&input);
    std::stable_sort(sorted.begin(), sorted.end(), [](const auto *a, const auto *b) {
        return a->influence && (!b->influence || *a->influence > *b->influence);
    });
    return sorted;
}

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
        if (input.lowOutside() || input.highOutside()) {
            out.append(",\"warnings\":{");
            if (input.lowOutside())
                appendStrings(out, "low", input.lowWarnings);
            if (input.lowOutside() && input.highOutside())
                out.push_back(',');
            if (input.highOutside())
                appendStrings(out, "high", input.highWarnings);
            out.push_back('}');
        }
        out.push_back('}');
    }
    out.push_back(']');
    if (!sensitivity.notVaried.empty()) {
        out.push_back(',');
        appendStrings(out, "notVaried", sensitivity.notVaried);
    }
    out.push_back('}');
}

void appendTargetPenetrationText(std::string &out,
                                 const TargetPenetration &design,
                                 std::string_view unit)
{
    std::string target = shortest(design.targetRate).append(" ").append(unit);
    out.append("\nPENETRATION FOR A TARGET RATE OF ").append(target).push_back('\n');
    out.append("  working zone thickness ").append(feet(design.zoneThickness)).push_back('\n');

    constexpr std::size_t column = 16;
    std::vector<std::size_t> widths = {nameWidth, column, column};
    std::vector<std::string> header = {"", "max penetration", "max percent"};
    if (design.gasOil) {
        widths.push_back(20);
        header.emplace_back("min completion top");
    }
    widths.insert(widths.end(), {column, column});
    header.insert(header.end(), {"peak rate", "at penetration"});
    TextTable table(widths);
    table.addRow(header);

    std::vector<Correlation> allowing;
    std::vector<Correlation> failing;
    std::optional<Correlation> smallest;
    std::size_t evaluatedCount = 0;
    for (const CorrelationStyle &style : reportOrder) {
        const Correlation c = style.correlation;
        if (!evaluated(c, design))
            continue;
        ++evaluatedCount;
        const PenetrationDesign &d = *design.correlations[indexOf(c)];
        std::vector<std::string> row = {std::string(correlationName(c))};
        if (d.maxPenetration) {
            allowing.push_back(c);
            const auto &best = smallest ? design.correlations[indexOf(*smallest)] : std::nullopt;
            if (!best || *d.maxPenetration < *best->maxPenetration)
                smallest = c;
            row.push_back(limitText(design, c, DesignLimit::MaxPenetration, *d.maxPenetration)
                          + " ft");
            row.push_back(limitText(design, c, DesignLimit::MaxPenetration, *d.maxPercent, 1, true)
                          + " %");
            if (design.gasOil)
                row.push_back(
                    limitText(design, c, DesignLimit::MinCompletionTop, *d.minCompletionTop)
                    + " ft");
        } else {
            row.emplace_back(d.peakRate ? "below target" : "failed");
            row.emplace_back("-");
            if (design.gasOil)
                row.emplace_back("-");
        }
        if (d.peakRate) {
            row.push_back(rateText(*d.peakRate));
            row.push_back(feet(*d.peakPenetration));
        } else {
            failing.push_back(c);
            row.insert(row.end(), {"failed", "-"});
        }
        table.addRow(std::move(row));
    }
    table.appendTo(out);

    if (!failing.empty() && failing.size() == evaluatedCount) {
        out.append("Every correlation fails at every penetration from 0 to ");
        out.append(feet(design.zoneThickness)).append(": none can be designed for ");
        out.append(target).append(".\n");
        return;
    }
    if (allowing.empty()) {
        out.append("No correlation allows ").append(target).append(" at any penetration");
        if (!failing.empty()) {
            out.append(" (").append(joinedWithAnd(namesOf(failing)));
            out.append(failing.size() == 1 ? " fails" : " fail").append(" at every penetration)");
        }
        out.append(".\n");
        return;
    }
    const PenetrationDesign &best = *design.correlations[indexOf(*smallest)];
    out.append(joinedWithAnd(namesOf(allowing)));
    out.append(allowing.size() == 1 ? " allows " : " allow ").append(target);
    out.append("; the smallest max penetration is ");
    out.append(limitText(design, *smallest, DesignLimit::MaxPenetration, *best.maxPenetration));
    out.append(" ft (").append(correlationName(*smallest)).append(").\n");
}

void appendSensitivityText(std::string &out, const Sensitivity &sensitivity)
{
    const std::string percent = shortest(sensitivity.percent);
    const std::string lowFactor = shortest(sensitivity.lowFactor);
    const std::string highFactor = shortest(sensitivity.highFactor);
    out.append("\nSENSITIVITY TO EACH INPUT, -").append(percent).append(" % AND +");
    out.append(percent).append(" %\n");
    out.append("  change of each design-point rate, in percent, with the input at ");
    out.append(lowFactor).append(" and ").append(highFactor).append(" times its value\n");

    std::vector<Correlation> shown;
    for (const CorrelationStyle &style : reportOrder) {
        if (style.correlation != Correlation::MeyerGarder || sensitivity.meyerGarderEvaluated)
            shown.push_back(style.correlation);
    }
    std::vector<std::size_t> widths = {22, 10};
    std::vector<std::string> header = {"input", "influence"};
    for (Correlation c : shown) {
        widths.push_back(nameWidth);
        header.emplace_back(correlationName(c));
    }
    TextTable table(widths);
    table.addRow(header);

    // Percent change of one rate; in brackets where the varied well lies outside the physical
    // range.
    const auto change = [&](const std::optional<double> &rate, Correlation c, bool outside) {
        const std::optional<double> &base = sensitivity.base[indexOf(c)];
        std::string text = "-";
        if (!rate) {
            text = "failed";
        } else if (base && *base != 0.0) {
            const double relative = (*rate - *base) / std::fabs(*base) * 100.0;
            if (std::isfinite(relative)) {
                text = roundedNumber(relative, 1);
                if (!text.starts_with('-'))
                    text.insert(0, 1, '+');
            }
        }
        return outside ? "[" + text + "]" : text;
    };
    bool anyOutside = false;
    const std::vector<const SensitivityInput *> sorted = byInfluence(sensitivity);
    for (const SensitivityInput *input : sorted) {
        anyOutside = anyOutside || input->lowOutside() || input->highOutside();
        std::vector<std::string> row = {std::string(input->input),
                                        input->influence
                                            ? roundedNumber(*input->influence * 100.0, 1) + " %"
                                            : "-"};
        for (Correlation c : shown) {
            row.push_back(change(input->low[indexOf(c)], c, input->lowOutside()) + "/"
                          + change(input->high[indexOf(c)], c, input->highOutside()));
        }
        table.addRow(std::move(row));
    }
    table.appendTo(out);

    if (anyOutside) {
        out.append("[...] marks the rates of a varied well outside the physical range, left out "
                   "of the influence:\n");
        for (const SensitivityInput *input : sorted) {
            for (const auto &[factor, warnings] : {std::pair{&lowFactor, &input->lowWarnings},
                                                   {&highFactor, &input->highWarnings}}) {
                for (const std::string &warning : *warnings) {
                    out.append("  ").append(input->input).append(" at ").append(*factor);
                    out.append(" times its value: ").append(warning).push_back('\n');
                }
            }
        }
    }
    if (!sensitivity.notVaried.empty()) {
        out.append("Not varied: ").append(joinedWithAnd(sensitivity.notVaried));
        out.append(sensitivity.notVaried.size() == 1 ? " is" : " are");
        out.append(" 0, which no percentage changes.\n");
    }

    const SensitivityInput *most = sensitivity.mostInfluential();
    if (!most) {
        out.append(anyOutside ? "No varied well within the physical range changes a rate that "
                                "can be compared.\n"
                              : "No input changes a rate that can be compared.\n");
        return;
    }
    out.append("The answer depends most on the ").append(most->input).append(": a ");
    out.append(percent).append(" % change moves the ");
    out.append(correlationName(most->movedMost.value_or(Correlation::Sobocinski)));
    out.append(" rate by up to ").append(roundedNumber(*most->influence * 100.0, 1)).append(" %.\n");
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
