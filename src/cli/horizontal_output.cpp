#include "horizontal_output.h"

#include "report/number_format.h"

namespace coning::cli {

void appendHorizontalText(std::string &out, const HorizontalResult &result)
{
    const std::string_view unit = rateUnit(result.fluidSystem);
    out.append("    CRITICAL CRESTING RATES\n");
    for (HorizontalCorrelation c : horizontalOrder) {
        const std::string_view name = horizontalCorrelationName(c);
        const CorrelationOutcome &outcome = result.outcome(c);
        out.append("  ").append(name);
        out.append(13 - name.size(), ' ').append(" = ");
        const std::string rate = outcome.shown() ? formatRate(outcome.rate) : "failed";
        if (rate.size() < 10)
            out.append(10 - rate.size(), ' ');
        out.append(rate);
        if (outcome.shown())
            out.append(" ").append(unit);
        out.push_back('\n');
    }
    bool first = true;
    for (HorizontalCorrelation c : horizontalOrder) {
        const CorrelationOutcome &outcome = result.outcome(c);
        if (!outcome.failed())
            continue;
        if (first)
            out.push_back('\n');
        first = false;
        out.append(horizontalCorrelationName(c)).append(" failed: ");
        out.append(outcome.failure).push_back('\n');
    }
    if (!result.warnings.empty())
        out.push_back('\n');
    for (const std::string &warning : result.warnings)
        out.append("warning: ").append(warning).push_back('\n');
}

void appendHorizontalJson(std::string &out,
                          const HorizontalWell &well,
                          const HorizontalResult &result,
                          const std::optional<RowLabel> &label,
                          std::string_view extraMembers)
{
    out.push_back('{');
    appendLabel(out, label);
    appendKey(out, "wellType");
    appendJsonString(out, horizontalWellText);
    out.push_back(',');
    appendKey(out, "fluidSystem");
    appendJsonString(out, well.fluidSystem);
    out.push_back(',');
    appendKey(out, "unit");
    appendJsonString(out, rateUnit(result.fluidSystem));
    out.push_back(',');
    appendKey(out, "rates");
    const auto name = [](HorizontalCorrelation c) { return horizontalCorrelationName(c); };
    appendShownRatesOf(out, result, horizontalOrder, name, [](double rate) { return rate; });
    appendFailures(out, result, horizontalOrder, name);
    out.append(extraMembers);
    appendWarnings(out, result.warnings);
    out.push_back('}');
}

} // namespace coning::cli
