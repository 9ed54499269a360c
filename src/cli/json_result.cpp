#include "json_result.h"

namespace coning::cli {

void appendLabel(std::string &out, const std::optional<RowLabel> &label)
{
    if (!label)
        return;
    appendKey(out, "line");
    out.append(std::to_string(label->line));
    out.push_back(',');
    appendKey(out, "well");
    appendJsonString(out, label->well);
    out.push_back(',');
}

void appendWarnings(std::string &out, const std::vector<std::string> &warnings)
{
    if (warnings.empty())
        return;
    out.push_back(',');
    appendKey(out, "warnings");
    out.push_back('[');
    for (std::size_t i = 0; i < warnings.size(); ++i) {
        if (i > 0)
            out.push_back(',');
        appendJsonString(out, warnings[i]);
    }
    out.push_back(']');
}

namespace {

bool inSweep(Correlation c, const RunResult &result)
{
    return c != Correlation::MeyerGarder || result.meyerGarderCondition;
}

void appendSweep(std::string &out, const RunResult &result)
{
    appendKey(out, "sweep");
    out.append("{\"percent\":[");
    for (int p = sweepFirstPercent; p <= sweepLastPercent; ++p) {
        if (p != sweepFirstPercent)
            out.push_back(',');
        out.append(std::to_string(p));
    }
    out.push_back(']');
    for (Correlation c : callOrder) {
        if (!inSweep(c, result))
            continue;
        out.push_back(',');
        appendKey(out, correlationName(c));
        out.push_back('[');
        const auto &points = result.sweepRates[indexOf(c)];
        for (int p = sweepFirstPercent; p <= sweepLastPercent; ++p) {
            if (p != sweepFirstPercent)
                out.push_back(',');
            appendNumberOrNull(out, points[p]);
        }
        out.push_back(']');
    }
    out.push_back('}');
}

// Only for a correlation with failed sweep points: how many, the first percent and its failure.
void appendSweepFailures(std::string &out, const RunResult &result)
{
    bool first = true;
    for (Correlation c : callOrder) {
        const SweepFailure &failure = result.sweepFailures[indexOf(c)];
        if (failure.count == 0)
            continue;
        out.append(first ? ",\"sweepFailures\":{" : ",");
        first = false;
        appendKey(out, correlationName(c));
        out.append("{\"points\":").append(std::to_string(failure.count));
        out.append(",\"firstPercent\":").append(std::to_string(failure.firstPercent));
        out.append(",\"message\":");
        appendJsonString(out, failure.firstFailure);
        out.push_back('}');
    }
    if (!first)
        out.push_back('}');
}

} // namespace

void appendErrorJson(std::string &out,
                     std::string_view message,
                     const std::optional<RowLabel> &label)
{
    out.push_back('{');
    appendLabel(out, label);
    appendKey(out, "error");
    appendJsonString(out, message);
    out.push_back('}');
}

void appendResultJson(std::string &out,
                      const Well &well,
                      const RunResult &result,
                      const std::optional<RowLabel> &label,
                      std::string_view extraMembers)
{
    if (result.failed()) {
        appendErrorJson(out, result.error, label);
        out.pop_back();
        out.append(extraMembers); // a simulation that ran is kept whatever the correlations did
        appendWarnings(out, result.warnings);
        out.push_back('}');
        return;
    }
    out.push_back('{');
    appendLabel(out, label);
    appendKey(out, "fluidSystem");
    appendJsonString(out, well.fluidSystem);
    out.push_back(',');
    appendKey(out, "completion");
    appendJsonString(out, completionText(well.completion));
    out.push_back(',');
    appendKey(out, "unit");
    appendJsonString(out, rateUnit(result.fluidSystem));
    out.push_back(',');
    appendKey(out, "percentPenetration");
    appendShortest(out, result.percentPenetration);
    out.push_back(',');

    appendKey(out, "rates");
    appendShownRates(out, result, [](double rate) { return rate; });

    appendFailures(out, result, callOrder, [](Correlation c) { return correlationName(c); });

    if (result.swept) {
        out.push_back(',');
        appendSweep(out, result);
        appendSweepFailures(out, result);
    }
    out.append(extraMembers);
    appendWarnings(out, result.warnings);
    out.push_back('}');
}

} // namespace coning::cli
