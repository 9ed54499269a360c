#include "run_messages.h"

#include "calc/word_list.h"

#include <algorithm>
#include <string_view>

namespace coning {
namespace {

constexpr int sweepPoints = sweepLastPercent - sweepFirstPercent + 1;

// The correlations that share one message, in call order.
struct Group
{
    std::string message;
    std::vector<Correlation> members;
    FailureCause cause = {};              // of the first member
    std::vector<std::string> inputs = {}; // to check, for an intermediate overflow
};

Group &addTo(std::vector<Group> &groups,
             const std::string &message,
             Correlation c,
             const FailureCause &cause = {})
{
    for (Group &group : groups) {
        if (group.message == message) {
            group.members.push_back(c);
            return group;
        }
    }
    return groups.emplace_back(Group{message, {c}, cause});
}

// An intermediate overflow names the inputs each correlation reads; the cause is the same for
// all of them, so they share one line that lists every input once.
constexpr std::string_view overflowKey = "intermediate overflow";

void addOverflowInputs(Group &group, const std::vector<std::string_view> &inputs)
{
    for (std::string_view input : inputs) {
        if (std::find(group.inputs.begin(), group.inputs.end(), input) == group.inputs.end())
            group.inputs.emplace_back(input);
    }
}

std::string names(const std::vector<Correlation> &members)
{
    std::vector<std::string_view> list;
    for (Correlation c : members)
        list.push_back(correlationName(c));
    return joinedWithAnd(list);
}

std::string capitalised(std::string text)
{
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z')
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

std::string entryHint(const std::string &input)
{
    struct Unit
    {
        std::string_view input;
        std::string_view unit;
    };
    static constexpr Unit units[] = {
        {"viscosity", "cp"},
        {"zone thickness", "feet"},
        {"drainage radius", "feet"},
        {"well radius", "inches"},
    };
    for (const Unit &u : units) {
        if (u.input == input)
            return "enter the " + input + " in " + std::string(u.unit);
    }
    return "enter the " + input;
}

// A failure that one input causes reads better with the input first; every other failure is
// quoted after the correlations it affects.
std::string causeLine(const Group &group, const std::string &who, bool singular)
{
    const std::string input(group.cause.input);
    switch (group.cause.kind) {
    case FailureCause::Kind::ZeroInput:
        return capitalised(input) + " is zero: " + who + (singular ? " divides" : " divide")
               + " by it; " + entryHint(input);
    case FailureCause::Kind::InputBeyondRange:
        return capitalised(input) + " is beyond the double range: " + who
               + (singular ? " reads" : " read") + " it; enter a smaller value";
    case FailureCause::Kind::IntermediateOverflow:
    case FailureCause::Kind::Other:
        break;
    }
    return capitalised(who) + ": " + group.message;
}

std::string sweepRange(const SweepFailure &failure)
{
    const std::string first = std::to_string(failure.firstPercent);
    if (failure.count == sweepPoints)
        return "at every penetration of the sweep";
    if (failure.count == 1)
        return "at " + first + " % penetration";
    // The failed points are the first one and every one after it.
    if (failure.firstPercent + failure.count - 1 == sweepLastPercent)
        return "above " + std::to_string(failure.firstPercent - 1) + " % penetration";
    return "at " + std::to_string(failure.count) + " of " + std::to_string(sweepPoints)
           + " penetrations of the sweep, the first at " + first + " %";
}

} // namespace

std::vector<std::string> runMessages(const RunResult &run)
{
    std::vector<std::string> lines;
    if (run.failed()) {
        lines.push_back("The calculation stopped: " + run.error);
        lines.insert(lines.end(), run.warnings.begin(), run.warnings.end());
        return lines;
    }

    int evaluated = 0;
    std::vector<Group> designFailures;
    for (Correlation c : callOrder) {
        const CorrelationOutcome &outcome = run.outcome(c);
        evaluated += outcome.evaluated ? 1 : 0;
        if (!outcome.failed())
            continue;
        if (outcome.cause.kind == FailureCause::Kind::IntermediateOverflow)
            addOverflowInputs(addTo(designFailures, std::string(overflowKey), c, outcome.cause),
                              outcome.cause.inputsToCheck);
        else
            addTo(designFailures, outcome.failure, c, outcome.cause);
    }
    for (const Group &group : designFailures) {
        const bool everyOne = group.members.size() > 1
                              && static_cast<int>(group.members.size()) == evaluated;
        const std::string who = everyOne ? "every correlation" : names(group.members);
        if (!group.inputs.empty()) {
            std::vector<std::string_view> inputs(group.inputs.begin(), group.inputs.end());
            lines.push_back("An intermediate value is beyond the double range in " + who
                            + ": check the " + joinedWithAnd(inputs) + " for extreme values");
            continue;
        }
        lines.push_back(causeLine(group, who, everyOne || group.members.size() == 1));
    }

    // Grouped by where and how they failed; the key's line feed cannot occur in either part.
    std::vector<Group> sweepFailures;
    for (Correlation c : callOrder) {
        const SweepFailure &failure = run.sweepFailures[indexOf(c)];
        if (failure.count > 0 && !run.outcome(c).failed())
            addTo(sweepFailures, sweepRange(failure) + '\n' + failure.firstFailure, c);
    }
    for (const Group &group : sweepFailures) {
        const std::size_t split = group.message.find('\n');
        lines.push_back(names(group.members) + " failed " + group.message.substr(0, split) + ": "
                        + group.message.substr(split + 1));
    }
    lines.insert(lines.end(), run.warnings.begin(), run.warnings.end());
    return lines;
}

} // namespace coning
