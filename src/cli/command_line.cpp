#include "command_line.h"

#include "argument_check.h"
#include "batch_run.h"
#include "calc/horizontal_well.h"
#include "calc/message_text.h"
#include "calc/well_input.h"
#include "calc/well_messages.h"
#include "checked_stream.h"
#include "design_output.h"
#include "horizontal_output.h"
#include "json_result.h"
#include "program.h"
#include "simulation_options.h"
#include "text_result.h"

#include <CLI/CLI.hpp>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#ifndef CONING_VERSION
#    define CONING_VERSION "unknown"
#endif

namespace coning::cli {
namespace {

constexpr int usageStatus = 2;

struct Options
{
    std::string well;
    std::string fluidSystem;
    std::string completion;
    std::array<std::string, numericFieldCount> values;
    bool sweep = false;
    std::string format;
    std::string batch;
    std::string targetRate;
    std::string sensitivity;

    CLI::Option *fluidSystemOption = nullptr;
    CLI::Option *completionOption = nullptr;
    std::array<CLI::Option *, numericFieldCount> valueOptions{};
    CLI::Option *sweepOption = nullptr;
    CLI::Option *formatOption = nullptr;
    CLI::Option *batchOption = nullptr;
    CLI::Option *targetRateOption = nullptr;
    CLI::Option *sensitivityOption = nullptr;
    SimulationOptions simulation;

    CLI::Option *wellOption = nullptr;
    // The options of a horizontal well's inputs in horizontalFields() order, most of them shared
    // with the vertical well (and --kv-kh with the simulation), and the texts they hold.
    std::array<CLI::Option *, horizontalFieldCount> horizontalOptions{};
    std::array<const std::string *, horizontalFieldCount> horizontalTexts{};
    std::array<std::string, horizontalFieldCount> horizontalOnlyValues;
    std::array<bool, horizontalFieldCount> horizontalOnly{};
};

// Points the horizontal well's inputs at the options that carry them, adding those only a
// horizontal well has.
void describeHorizontal(CLI::App &app, Options &o)
{
    const auto &fields = horizontalFields();
    for (std::size_t h = 0; h < horizontalFieldCount; ++h) {
        const HorizontalField &field = fields[h];
        if (field.name == sim::kvKhName) {
            o.horizontalOptions[h] = o.simulation.settingOptions[0];
            o.horizontalTexts[h] = &o.simulation.settings[0];
            continue;
        }
        if (field.sharedWithVertical) {
            for (std::size_t i = 0; i < numericFieldCount; ++i) {
                if (numericFields()[i].name == field.name) {
                    o.horizontalOptions[h] = o.valueOptions[i];
                    o.horizontalTexts[h] = &o.values[i];
                }
            }
            continue;
        }
        o.horizontalOnly[h] = true;
        o.horizontalTexts[h] = &o.horizontalOnlyValues[h];
        o.horizontalOptions[h] = app.add_option("--" + std::string(field.name),
                                                o.horizontalOnlyValues[h],
                                                std::string(field.description))
                                     ->type_name(std::string(field.valueName));
    }
}

void describe(CLI::App &app, Options &o)
{
    app.set_version_flag("--version", std::string(programName) + " " + CONING_VERSION);
    app.set_help_flag("-h,--help", "Show this help and exit");
    app.footer("Exit status: 0 when every correlation was evaluated, 1 when any evaluation "
               "failed (the result is still written), 2 for a usage error, 3 when the results "
               "cannot be written.\n"
               "Batch mode reads a CSV file whose header names the columns with the option "
               "names above (fluid-system, permeability, ...) and an optional \"well\".");

    o.wellOption = app.add_option("--" + std::string(wellTypeName),
                                  o.well,
                                  "vertical (default) or horizontal: a horizontal well takes "
                                  "--kv-kh, --well-length, --standoff and --boundary-distance "
                                  "in place of the completion, drainage radius and penetration")
                       ->type_name("TYPE");
    o.fluidSystemOption = app.add_option("--fluid-system",
                                         o.fluidSystem,
                                         "Oil-Water, Gas-Water or Gas-Oil")
                              ->type_name("SYSTEM");
    o.completionOption = app.add_option("--completion",
                                        o.completion,
                                        "partial-penetration (default) or partial-completion")
                             ->type_name("TYPE");
    const auto &fields = numericFields();
    for (std::size_t i = 0; i < numericFieldCount; ++i) {
        o.valueOptions[i] = app.add_option("--" + std::string(fields[i].name),
                                           o.values[i],
                                           std::string(fields[i].description))
                                ->type_name(std::string(fields[i].valueName));
    }
    o.sweepOption = app.add_flag("--sweep",
                                 o.sweep,
                                 "Add the 5..95 % penetration sweep (partial-penetration only)");
    o.targetRateOption = app.add_option("--" + std::string(targetRateName),
                                        o.targetRate,
                                        "Rate the well must make (STB/day, or MCF/day for "
                                        "Gas-Water): the largest penetration each correlation "
                                        "allows for it (partial-penetration only)")
                             ->type_name("Q");
    o.sensitivityOption = app.add_option("--" + std::string(sensitivityName),
                                         o.sensitivity,
                                         "Design-point rates with each input in turn lowered and "
                                         "raised by PCT percent (0 < PCT < 100)")
                              ->type_name("PCT");
    describeSimulation(app, o.simulation);
    describeHorizontal(app, o);
    o.formatOption = app.add_option("--format",
                                    o.format,
                                    "text (default) or json for one well; csv (default) or json "
                                    "with --batch")
                         ->type_name("FORMAT");
    o.batchOption = app.add_option("--batch",
                                   o.batch,
                                   "Calculate every well of a CSV file (- reads standard input)")
                        ->type_name("FILE");
}

int usageError(std::ostream &err, const std::string &message)
{
    err << programName << ": " << message << '\n' << "Run with --help for more information.\n";
    return usageStatus;
}

int runBatchMode(const Options &o, std::istream &in, std::ostream &out, std::ostream &err)
{
    std::vector<std::string> misplaced;
    if (o.wellOption->count() > 0)
        misplaced.push_back("--" + std::string(wellTypeName));
    if (o.fluidSystemOption->count() > 0)
        misplaced.push_back("--fluid-system");
    if (o.completionOption->count() > 0)
        misplaced.push_back("--completion");
    for (std::size_t i = 0; i < numericFieldCount; ++i) {
        if (o.valueOptions[i]->count() > 0)
            misplaced.push_back("--" + std::string(numericFields()[i].name));
    }
    for (std::size_t h = 0; h < horizontalFieldCount; ++h) {
        if (o.horizontalOnly[h] && o.horizontalOptions[h]->count() > 0)
            misplaced.push_back("--" + std::string(horizontalFields()[h].name));
    }
    if (o.sweepOption->count() > 0)
        misplaced.push_back("--sweep");
    if (o.targetRateOption->count() > 0)
        misplaced.push_back("--" + std::string(targetRateName));
    if (o.sensitivityOption->count() > 0)
        misplaced.push_back("--" + std::string(sensitivityName));
    if (!misplaced.empty())
        return usageError(err,
                          misplaced.front()
                              + " cannot be combined with --batch: the batch file "
                                "gives the wells, one per row");
    std::vector<std::string> problems;
    const BatchSimulation simulation = readBatchSimulation(o.simulation, problems);
    if (!problems.empty()) {
        for (std::size_t i = 0; i + 1 < problems.size(); ++i)
            err << programName << ": " << problems[i] << '\n';
        return usageError(err, problems.back());
    }

    BatchFormat format = BatchFormat::Csv;
    if (o.formatOption->count() > 0) {
        if (o.format == "json")
            format = BatchFormat::Json;
        else if (o.format != "csv")
            return usageError(err,
                              "--format: " + quotedForMessage(o.format)
                                  + " is not a batch format: use csv or json");
    }

    // A reader at a pipe or a terminal sees each row as soon as it is calculated.
    if (o.batch == "-")
        return runBatch(
            in, out, err, format, isPipeOrTerminal(in) || isPipeOrTerminal(out), simulation);
    std::string problem;
    const std::unique_ptr<DescriptorInput> file = DescriptorInput::open(o.batch, problem);
    if (!file)
        return usageError(err, "--batch: " + problem);
    std::istream fileStream(file.get());
    return runBatch(fileStream,
                    out,
                    err,
                    format,
                    isPipeOrTerminal(fileStream) || isPipeOrTerminal(out),
                    simulation);
}

int runSingleWell(const Options &o, std::ostream &out, std::ostream &err)
{
    bool json = false;
    if (o.formatOption->count() > 0) {
        if (o.format == "json")
            json = true;
        else if (o.format != "text")
            return usageError(err,
                              "--format: " + quotedForMessage(o.format)
                                  + " is not a format for one well: use text or json");
    }

    WellInput input;
    if (o.fluidSystemOption->count() > 0)
        input.fluidSystem = o.fluidSystem;
    if (o.completionOption->count() > 0)
        input.completion = o.completion;
    for (std::size_t i = 0; i < numericFieldCount; ++i) {
        if (o.valueOptions[i]->count() > 0)
            input.values[i] = o.values[i];
    }
    Well well;
    const std::vector<InputProblem> problems = checkWell(input, well);
    std::vector<std::string> messages;
    for (const InputProblem &problem : problems)
        messages.push_back(optionProblemText(problem));
    if (o.sweep && input.completion == completionText(Completion::PartialCompletion))
        messages.emplace_back(sweepCompletionProblemText);
    std::optional<std::string_view> targetRate;
    if (o.targetRateOption->count() > 0)
        targetRate = o.targetRate;
    std::optional<std::string_view> sensitivityPercent;
    if (o.sensitivityOption->count() > 0)
        sensitivityPercent = o.sensitivity;
    const DesignRequest design = readDesignRequest(targetRate,
                                                   sensitivityPercent,
                                                   input.completion.value_or(""),
                                                   messages);
    const SimulationRequest simulation = readSimulationRequest(o.simulation, messages);
    if (problems.empty())
        checkSimulationRequest(simulation, well, messages);
    if (!messages.empty()) {
        for (const std::string &message : messages)
            err << programName << ": " << message << '\n';
        err << "Run with --help for more information.\n";
        return usageStatus;
    }

    const Sweep sweep = o.sweep ? Sweep::AsSelected : Sweep::Skip;
    std::string text;
    RunResult result;
    std::optional<SimulationReport> simulated;
    const auto simulate = [&](const RunResult &correlations) {
        int signal = 0;
        simulated = runSimulationRequest(simulation, well, correlations, out, err, signal);
        if (simulated)
            return 0;
        if (signal > 0)
            return 128 + signal;
        err << programName << ": cannot write the results: the reader has gone\n";
        return writeFailureStatus;
    };
    if (json) {
        result = calculateWell(well, sweep);
        std::string members = designJsonMembers(well, design);
        if (simulation.active) {
            if (const int stopped = simulate(result))
                return stopped;
            appendSimulationMember(members, *simulated);
        }
        appendResultJson(text, well, result, std::nullopt, members);
        text.push_back('\n');
    } else {
        result = appendTextResult(text, well, sweep);
        appendDesignText(text, well, design);
        if (simulation.active) {
            if (const int stopped = simulate(result))
                return stopped;
            appendSimulationText(text, *simulated);
        }
    }
    out << text << std::flush;
    if (!out)
        return reportWriteFailure(out, err);
    if (simulated && sim::simulationFailed(*simulated)) {
        err << simulationFailureText(*simulated);
        return 1;
    }
    return result.anyFailure() ? 1 : 0;
}

// The usage errors of options a horizontal well does not take: the vertical well's own inputs
// and designs, and the rate study. Every other simulation option serves both wells.
std::vector<std::string> horizontalMisplaced(const Options &o)
{
    std::vector<std::string> messages;
    const auto refuse = [&](const CLI::Option *option, std::string (*text)(std::string_view)) {
        if (option->count() > 0)
            messages.push_back(text(option->get_name()));
    };
    refuse(o.completionOption, verticalOnlyProblemText);
    for (std::size_t i = 0; i < numericFieldCount; ++i) {
        if (verticalOnlyField(numericFields()[i].name))
            refuse(o.valueOptions[i], verticalOnlyProblemText);
    }
    refuse(o.sweepOption, verticalOnlyProblemText);
    refuse(o.targetRateOption, verticalOnlyProblemText);
    refuse(o.sensitivityOption, verticalOnlyProblemText);
    const auto noStudy = [](std::string_view option) {
        return std::string(option) + ": the rate study is not yet for horizontal wells";
    };
    refuse(o.simulation.ratesOption, noStudy);
    refuse(o.simulation.economicCutOption, noStudy);
    return messages;
}

int runHorizontalWell(const Options &o, std::ostream &out, std::ostream &err)
{
    std::vector<std::string> messages = horizontalMisplaced(o);
    bool json = false;
    if (o.formatOption->count() > 0) {
        if (o.format == "json")
            json = true;
        else if (o.format != "text")
            messages.push_back("--format: " + quotedForMessage(o.format)
                               + " is not a format for one well: use text or json");
    }
    HorizontalWellInput input;
    if (o.fluidSystemOption->count() > 0)
        input.fluidSystem = o.fluidSystem;
    for (std::size_t h = 0; h < horizontalFieldCount; ++h) {
        if (o.horizontalOptions[h]->count() > 0)
            input.values[h] = *o.horizontalTexts[h];
    }
    HorizontalWell well;
    const std::vector<InputProblem> problems = checkHorizontalWell(input, well);
    for (const InputProblem &problem : problems)
        messages.push_back(optionProblemText(problem));
    const SimulationRequest simulation = readSimulationRequest(o.simulation, messages, true);
    if (problems.empty())
        checkSimulationRequest(simulation, well, messages);
    if (!messages.empty()) {
        for (const std::string &message : messages)
            err << programName << ": " << message << '\n';
        err << "Run with --help for more information.\n";
        return usageStatus;
    }

    const HorizontalResult result = calculateHorizontalWell(well);
    std::optional<SimulationReport> simulated;
    if (simulation.active) {
        int signal = 0;
        simulated = runSimulationRequest(simulation, well, result, out, err, signal);
        if (!simulated && signal > 0)
            return 128 + signal;
        if (!simulated) {
            err << programName << ": cannot write the results: the reader has gone\n";
            return writeFailureStatus;
        }
    }
    std::string text;
    if (json) {
        std::string members;
        if (simulated)
            appendSimulationMember(members, *simulated);
        appendHorizontalJson(text, well, result, std::nullopt, members);
        text.push_back('\n');
    } else {
        appendHorizontalText(text, result);
        if (simulated)
            appendSimulationText(text, *simulated);
    }
    out << text << std::flush;
    if (!out)
        return reportWriteFailure(out, err);
    if (simulated && sim::simulationFailed(*simulated)) {
        err << simulationFailureText(*simulated);
        return 1;
    }
    return result.anyFailure() ? 1 : 0;
}

} // namespace

int runConingCalc(
    int argc, const char *const *argv, std::istream &in, std::ostream &out, std::ostream &err)
{
    CLI::App app("Critical coning rate of a vertical well by six published correlations, for one "
                 "well given by options or for every well of a CSV file.",
                 std::string(programName));
    Options options;
    describe(app, options);
    if (const std::optional<std::string> problem = argumentProblem(app, argc, argv))
        return usageError(err, *problem);
    const auto written = [&](int status) {
        out.flush();
        return out ? status : reportWriteFailure(out, err);
    };
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp &e) {
        return written(app.exit(e, out, err));
    } catch (const CLI::CallForAllHelp &e) {
        return written(app.exit(e, out, err));
    } catch (const CLI::CallForVersion &e) {
        return written(app.exit(e, out, err));
    } catch (const CLI::ParseError &e) {
        return usageError(err, escapedForMessage(e.what())); // it may quote an argument
    }

    if (options.batchOption->count() > 0)
        return runBatchMode(options, in, out, err);
    if (options.wellOption->count() > 0) {
        if (options.well == horizontalWellText)
            return runHorizontalWell(options, out, err);
        if (options.well != verticalWellText)
            return usageError(err,
                              wellTypeProblemText(options.wellOption->get_name(), options.well));
    }
    for (std::size_t h = 0; h < horizontalFieldCount; ++h) {
        if (options.horizontalOnly[h] && options.horizontalOptions[h]->count() > 0)
            return usageError(err,
                              horizontalOnlyProblemText(options.horizontalOptions[h]->get_name()));
    }
    return runSingleWell(options, out, err);
}

} // namespace coning::cli
