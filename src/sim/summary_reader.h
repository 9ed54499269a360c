#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace coning::sim {

// The summary vectors of a run: one value per summary time, named like "TIME" or "WOPR:PROD".
struct Summary
{
    std::vector<std::string> names;
    std::vector<std::vector<double>> values; // values[i]: the vector names[i]

    // The vector of that keyword (and well, for well vectors), or nullptr.
    const std::vector<double> *find(std::string_view keyword, std::string_view well = {}) const;
};

// Reads CASE.SMSPEC and CASE.UNSMRY: big-endian Fortran records, each array a 16-byte header
// (8-character name, item count, 4-character type) and then its data in blocks. A time step
// whose record is incomplete (a file still being written) is left out. On failure says why in
// `problem` and returns nothing.
std::optional<Summary> readSummary(const std::filesystem::path &smspec,
                                   const std::filesystem::path &unsmry,
                                   std::string &problem);

// What makes a summary unusable, or nothing: summary times that are not finite or do not
// increase, or a value that is not finite (a simulator that wrote garbage, or a file damaged on
// its way). Says where, by vector and day.
std::optional<std::string> summaryProblem(const Summary &summary);

} // namespace coning::sim
