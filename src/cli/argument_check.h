#pragma once

#include <optional>
#include <string>

namespace CLI {
class App;
}

namespace coning::cli {

// Checks the shape of the command line against the options `app` declares, before they are
// parsed, and says in plain words what is wrong: "--penetration needs a value", "--permeability
// was given twice", "--sweep takes no value", an unknown option or a stray argument (also one
// after "--"). Nothing when every argument is an option with its value.
std::optional<std::string> argumentProblem(const CLI::App &app, int argc, const char *const *argv);

} // namespace coning::cli
