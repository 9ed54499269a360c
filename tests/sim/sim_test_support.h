#pragma once

#include "calc/horizontal_well.h"
#include "calc/well_input.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace coning::testing {

// A checked well from option values ("permeability" -> "100"); the sample well by default.
inline Well simulatedWell(const std::string &system = "Oil-Water",
                          std::map<std::string, std::string> changes = {},
                          const std::string &completion = "partial-penetration")
{
    std::map<std::string, std::string> values = {{"permeability", "100"},
                                                 {"viscosity", "1"},
                                                 {"fvf", "1.2"},
                                                 {"density-difference", "0.3"},
                                                 {"drainage-radius", "1000"},
                                                 {"well-radius", "3"},
                                                 {"zone-thickness", "50"},
                                                 {"penetration", "15"},
                                                 {"completion-top", "30"}};
    for (const auto &[name, value] : changes)
        values[name] = value;
    static std::map<std::string, std::string> kept; // the input holds views
    kept = values;
    static std::string keptSystem, keptCompletion;
    keptSystem = system;
    keptCompletion = completion;
    WellInput input;
    input.fluidSystem = keptSystem;
    input.completion = keptCompletion;
    const auto &fields = numericFields();
    for (std::size_t i = 0; i < numericFieldCount; ++i) {
        if (auto found = kept.find(std::string(fields[i].name)); found != kept.end())
            input.values[i] = found->second;
    }
    Well well;
    EXPECT_TRUE(checkWell(input, well).empty());
    return well;
}

// The horizontal sample well: 1000 ft at the top of a 50-ft zone, boundaries 500 ft away.
inline HorizontalWell horizontalSample(std::string_view system = "Oil-Water")
{
    HorizontalWell well;
    well.fluidSystem = system;
    well.permeability = 100.0;
    well.kvKh = 0.1;
    well.viscosity = 1.0;
    well.fvf = 1.2;
    well.densityDifference = 0.3;
    well.zoneThickness = 50.0;
    well.wellLength = 1000.0;
    well.standoff = 50.0;
    well.boundaryDistance = 500.0;
    well.wellRadius = 4.0;
    return well;
}

// The values of one keyword's array in a deck (or one of its sections), N*value expanded.
inline std::vector<double> arrayOf(const std::string &deck, const std::string &keyword)
{
    const std::size_t at = deck.find("\n" + keyword + "\n");
    EXPECT_NE(at, std::string::npos) << keyword;
    std::istringstream in(deck.substr(at + keyword.size() + 2));
    std::vector<double> values;
    for (std::string word; in >> word && word != "/";) {
        if (word.starts_with("--")) {
            std::getline(in, word);
            continue;
        }
        const std::size_t star = word.find('*');
        const int count = star == std::string::npos ? 1 : std::stoi(word.substr(0, star));
        values.insert(values.end(), count, std::stod(word.substr(star + 1)));
    }
    return values;
}

} // namespace coning::testing
