#pragma once

#include "model/numeric.h"
#include "model/parameter_set.h"

namespace coning::testing {

// The published example: density difference 0.3 g/cc, 100 md, 50 ft, 1 cp, B 1.2, drainage
// radius 1000 ft, well radius 3 in (0.25 ft), as the correlations see it after a run.
inline ParameterSet sampleWorkingSet(double penetration)
{
    ParameterSet m;
    m.densityDifference = 0.3;
    m.permeability = 100.0;
    m.zoneThickness = 50.0;
    m.penetration = penetration;
    m.viscosity = 1.0;
    m.formationVolumeFactor = 1.2;
    m.drainageRadius = 1000.0;
    m.wellRadius = 0.25;
    m.logRadiusRatio = Log10(4000.0).value();
    m.fluidSystem = 1;
    return m;
}

// The same well typed into the fields (penetration 15 ft: 30 percent).
inline ParameterSet sampleTypedWell(const char *penetration = "15")
{
    ParameterSet m;
    rhoin_Change(m, "0.3");
    permin_Change(m, "100");
    hin_Change(m, "50");
    vin_Change(m, "1");
    bin_Change(m, "1.2");
    rein_Change(m, "1000");
    rwin_Change(m, "3");
    din_Change(m, penetration);
    return m;
}

} // namespace coning::testing
