#include "argument_check.h"

#include "calc/message_text.h"
#include "calc/well_input.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <map>
#include <string_view>

namespace coning::cli {
namespace {

// "-3" and "-.5" are values; "-x" and "--x" are options; "-" alone is a value (standard input).
bool looksLikeOption(std::string_view arg)
{
    if (arg.size() < 2 || arg[0] != '-')
        return false;
    return !(arg[1] == '.' || (arg[1] >= '0' && arg[1] <= '9'));
}

const CLI::Option *optionNamed(const CLI::App &app, std::string_view arg)
{
    const bool isLong = arg.starts_with("--");
    const std::string name(arg.substr(isLong ? 2 : 1));
    for (const CLI::Option *option : app.get_options()) {
        const auto &names = isLong ? option->get_lnames() : option->get_snames();
        if (std::find(names.begin(), names.end(), name) != names.end())
            return option;
    }
    return nullptr;
}

std::string strayArgument(std::string_view arg, bool afterSeparator)
{
    return "unexpected argument " + quotedForMessage(arg) + (afterSeparator ? " after --" : "")
           + ": every value follows its option, as in --permeability 100";
}

} // namespace

std::optional<std::string> argumentProblem(const CLI::App &app, int argc, const char *const *argv)
{
    std::map<const CLI::Option *, int> given;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--") {
            if (i + 1 < argc)
                return strayArgument(argv[i + 1], true);
            return std::nullopt;
        }
        if (!looksLikeOption(arg))
            return strayArgument(arg, false);

        const std::size_t equals = arg.starts_with("--") ? arg.find('=') : std::string_view::npos;
        const std::string_view name = arg.substr(0, equals);
        const CLI::Option *option = optionNamed(app, name);
        if (!option)
            return quotedForMessage(name) + " is not an option";
        const std::string shown = escapedForMessage(name);
        if (++given[option] == 2)
            return shown + " was given twice";
        if (option->get_expected_min() == 0) {
            if (equals != std::string_view::npos)
                return shown + " takes no value";
            continue;
        }
        if (equals == std::string_view::npos) {
            if (i + 1 == argc || looksLikeOption(argv[i + 1]))
                return shown + " needs a value";
            ++i;
        }
    }
    return std::nullopt;
}

} // namespace coning::cli
