#include "deck_writer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace coning::sim {
namespace {

constexpr double stockTankWaterDensity = 1.0; // g/cc; water's formation volume factor is 1

std::size_t columns(const ReservoirModel &model)
{
    return model.columnNodes.size() + 1; // the rings and the boundary ring
}

std::size_t cellCount(const ReservoirModel &model)
{
    return columns(model) * model.layerThickness.size();
}

std::string line(std::initializer_list<double> values)
{
    std::string text;
    for (double value : values)
        text.append(" ").append(deckNumber(value));
    return text;
}

bool crossSection(const ReservoirModel &model)
{
    return model.geometry == Geometry::CrossSection;
}

bool producesGas(const ReservoirModel &model)
{
    return model.system == FluidSystem::GasWater;
}

// Surface density in lb/ft3 from the in-situ density in g/cc: an oil or water barrel shrinks by
// its formation volume factor B (rb/STB); a gas's reservoir barrels per Mscf expand to 1000 ft3.
double oilSurfaceDensity(double inSitu, double fvf)
{
    return inSitu * poundsPerCubicFootPerGramPerCc * fvf;
}

double gasSurfaceDensity(double inSitu, double fvf)
{
    return inSitu * poundsPerCubicFootPerGramPerCc * fvf * cubicFeetPerBarrel / 1000.0;
}

// A slightly compressible gas: B(p) = B exp(-c (p - p0)), which the simulator takes as a table.
std::string gasTable(double fvf, double viscosity, double compressibility, double pressure)
{
    std::string text = "PVDG\n-- pressure psia, Bg rb/Mscf, viscosity cp: slightly compressible\n";
    // Pressures from atmospheric to well above the initial one, in increasing order.
    std::vector<double> points = {14.7, 1000.0, 5000.0, 10000.0, pressure};
    if (pressure > 5000.0)
        points.push_back(2.0 * pressure);
    std::sort(points.begin(), points.end());
    points.erase(std::unique(points.begin(), points.end()), points.end());
    for (double p : points) {
        const double b = fvf * std::exp(-compressibility * (p - pressure));
        text.append(line({p, b, viscosity})).append("\n");
    }
    text.append("/\n");
    return text;
}

// A saturation table's rows, one a line, ended by " /" and a blank line.
template<std::size_t N>
std::string rows(const std::vector<std::array<double, N>> &table)
{
    std::string text;
    for (std::size_t i = 0; i < table.size(); ++i) {
        for (double value : table[i])
            text.append(" ").append(deckNumber(value));
        text.append(i + 1 < table.size() ? "\n" : " /\n\n");
    }
    return text;
}

// What Corey curves assume, in words.
std::string curveText(const CoreyCurves &c)
{
    const bool straight = c.exponents[0] == 1.0 && c.exponents[1] == 1.0;
    std::string text = straight ? "straight lines" : "Corey curves";
    text.append(": connate water ")
        .append(deckNumber(c.connateWater))
        .append(", residual ")
        .append(deckNumber(c.residualSaturation));
    if (!straight)
        text.append(", exponents ")
            .append(deckNumber(c.exponents[0]))
            .append(" and ")
            .append(deckNumber(c.exponents[1]));
    text.append(", end points ").append(deckNumber(c.endpoints[0]));
    if (c.endpoints[1] != c.endpoints[0])
        text.append(" and ").append(deckNumber(c.endpoints[1]));
    return text.append(", no capillary pressure");
}

} // namespace

double deckRate(const ReservoirModel &model)
{
    return model.rate * model.wellShare;
}

std::string deckNumber(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string deckArray(const std::vector<double> &values)
{
    std::string text;
    std::size_t onLine = 0;
    for (std::size_t i = 0; i < values.size();) {
        std::size_t run = 1;
        while (i + run < values.size() && values[i + run] == values[i])
            ++run;
        text.append(" ");
        if (run > 1)
            text.append(std::to_string(run)).append("*");
        text.append(deckNumber(values[i]));
        i += run;
        if (++onLine == 6 && i < values.size()) {
            text.append("\n");
            onLine = 0;
        }
    }
    text.append(" /\n");
    return text;
}

std::string runspecSection(const ReservoirModel &model)
{
    const std::string layers = std::to_string(model.layerThickness.size());
    std::string text = "RUNSPEC\n\nTITLE\n";
    if (crossSection(model)) {
        // The well runs along x: one cell of its length, the columns along y.
        text.append("horizontal well in a vertical cross-section\n\n");
        text.append("DIMENS\n-- one cell along the well, columns from the well out (the last "
                    "holds the pressure at\n-- the boundary distance), layers\n 1 ")
            .append(std::to_string(columns(model)))
            .append(" ")
            .append(layers)
            .append(" /\n\n");
    } else {
        text.append("coning well in a pseudo-radial slice\n\n");
        text.append("DIMENS\n-- rings (the last holds the pressure at the drainage radius), one "
                    "sector, layers\n ")
            .append(std::to_string(columns(model)))
            .append(" 1 ")
            .append(layers)
            .append(" /\n\n");
    }
    switch (model.system) {
    case FluidSystem::OilWater:
        text.append("-- dead oil over bottom water\nOIL\nWATER\n\n");
        break;
    case FluidSystem::GasOil:
        text.append("-- dead oil under a gas cap\nOIL\nGAS\n\n");
        break;
    case FluidSystem::GasWater:
        text.append("-- dry gas over bottom water\nWATER\nGAS\n\n");
        break;
    }
    text.append("-- feet, psia, barrels, Mscf, days\nFIELD\n\n");
    text.append("TABDIMS\n-- one saturation table, one PVT table\n 1 1 /\n\n");
    if (model.system != FluidSystem::GasWater)
        text.append("EQLDIMS\n-- one equilibration region\n 1 /\n\n");
    text.append("WELLDIMS\n-- one well, connected in at most every layer, one group\n 1 ")
        .append(layers)
        .append(" 1 1 /\n\n");
    text.append("START\n-- a fixed start: only elapsed days matter\n 1 'JAN' 2000 /\n\n");
    text.append("-- one summary file for the whole run\nUNIFOUT\n\n");
    return text;
}

std::string gridSection(const ReservoirModel &model)
{
    const std::size_t nx = columns(model);
    const std::size_t cells = cellCount(model);
    std::vector<double> dz;
    for (double thickness : model.layerThickness)
        dz.insert(dz.end(), nx, thickness);
    std::string text = "GRID\n\n";
    text.append(crossSection(model)
                    ? "-- The Cartesian sizes only give the cells their depths: EDIT replaces pore "
                      "volumes and\n-- transmissibilities with exact values.\n"
                    : "-- The Cartesian sizes only give the cells their depths: EDIT replaces pore "
                      "volumes and\n-- transmissibilities with exact radial values.\n");
    text.append("DX\n-- ft\n").append(deckArray(std::vector<double>(cells, 1.0))).append("\n");
    text.append("DY\n-- ft\n").append(deckArray(std::vector<double>(cells, 1.0))).append("\n");
    text.append("DZ\n-- ft, layers from the top down\n").append(deckArray(dz)).append("\n");
    text.append("TOPS\n-- ft, depth of the top of the model\n")
        .append(deckArray(std::vector<double>(nx, model.modelTop)))
        .append("\n");
    text.append("PORO\n-- fraction\n")
        .append(deckArray(std::vector<double>(cells, model.porosity)))
        .append("\n");
    const std::vector<double> kh(cells, model.horizontalPermeability);
    text.append("PERMX\n-- md, horizontal\n").append(deckArray(kh)).append("\n");
    text.append("PERMY\n-- md, horizontal\n").append(deckArray(kh)).append("\n");
    text.append("PERMZ\n-- md, vertical\n")
        .append(deckArray(std::vector<double>(cells, model.verticalPermeability)))
        .append("\n");
    return text;
}

namespace {

// The cross-section's EDIT: the columns run along y, so their transmissibilities are TRANY.
std::string crossSectionEdit(const ReservoirModel &model,
                             const std::vector<double> &porv,
                             const std::vector<double> &trany,
                             const std::vector<double> &tranz)
{
    const bool held = model.outerBoundary == OuterBoundary::ConstantPressure;
    std::string text = "PORV\n-- rb: porosity x column width x well length x thickness / 5.614583 "
                       "(the well's column\n-- the half of its cell on this side of the well); "
                       "the boundary column ";
    text.append(held ? "1e12 rb\n"
                     : "none:\n-- a closed outer boundary, no cells beyond the boundary "
                       "distance\n")
        .append(deckArray(porv))
        .append("\n");
    text.append("TRANX\n-- one cell along the well: no neighbours\n")
        .append(deckArray(std::vector<double>(cellCount(model), 0.0)))
        .append("\n");
    text.append("TRANY\n-- rb cp/day/psi to the next column: 0.001127 x kh x dz x L / distance "
                "between the nodes,\n-- to the boundary distance into the boundary column\n")
        .append(deckArray(trany))
        .append("\n");
    text.append("TRANZ\n-- rb cp/day/psi to the layer below: 0.001127 x kv x column width x L / "
                "mean thickness;\n-- none in the boundary column, which only holds the pressure\n")
        .append(deckArray(tranz))
        .append("\n");
    return text;
}

} // namespace

std::string editSection(const ReservoirModel &model)
{
    const std::size_t rings = model.columnNodes.size(); // or the cross-section's columns
    const std::size_t layers = model.layerThickness.size();
    std::vector<double> porv, tranx, tranz;
    for (std::size_t k = 0; k < layers; ++k) {
        for (std::size_t i = 0; i <= rings; ++i) {
            const bool boundary = i == rings;
            const bool held = model.outerBoundary == OuterBoundary::ConstantPressure;
            porv.push_back(boundary ? (held ? boundaryPoreVolume : 0.0) : poreVolume(model, i, k));
            tranx.push_back(
                boundary || (!held && i + 1 == rings) ? 0.0 : lateralTransmissibility(model, i, k));
            tranz.push_back(boundary || k + 1 == layers ? 0.0
                                                        : verticalTransmissibility(model, i, k));
        }
    }
    std::string text = "EDIT\n\n";
    const bool held = model.outerBoundary == OuterBoundary::ConstantPressure;
    if (crossSection(model))
        return text + crossSectionEdit(model, porv, tranx, tranz);
    text.append("PORV\n-- rb: porosity x ring area x thickness / 5.614583; the boundary ring ")
        .append(held ? "1e12 rb\n"
                     : "none:\n-- a closed outer boundary, no cells beyond the "
                       "drainage radius\n")
        .append(deckArray(porv))
        .append("\n");
    text.append("TRANX\n-- rb cp/day/psi to the next ring: 0.001127 x 2 pi k dz / ln(r_next / "
                "r_node),\n-- r_next the drainage radius into the boundary ring\n")
        .append(deckArray(tranx))
        .append("\n");
    text.append("TRANY\n-- one sector: no neighbours\n")
        .append(deckArray(std::vector<double>(cellCount(model), 0.0)))
        .append("\n");
    text.append("TRANZ\n-- rb cp/day/psi to the layer below: 0.001127 x kv x ring area / mean "
                "thickness;\n-- none in the boundary ring, which only holds the pressure\n")
        .append(deckArray(tranz))
        .append("\n");
    return text;
}

std::string propsSection(const ReservoirModel &model)
{
    const double p0 = model.initialPressure;
    std::string text = "PROPS\n\n";
    // Connate water that the falling pressure expands, or the simulator's saturation errors,
    // never flow: see immobileWaterMargin.
    const std::string immobileWaterNote = "-- water immobile up to " + deckNumber(model.mobileWater)
                                          + ", above what connate water expands to\n";
    const std::string curves = model.corey ? curveText(*model.corey)
                                           : "the engineer's table, as given";
    double oilDensity = 50.0; // lb/ft3, of a phase the model does not have
    double waterDensity = stockTankWaterDensity * poundsPerCubicFootPerGramPerCc;
    double gasDensity = 0.05;
    switch (model.system) {
    case FluidSystem::OilWater:
        text.append("SWOF\n-- Sw, krw, krow, Pc psi: ").append(curves).append("\n");
        text.append(immobileWaterNote).append(rows(model.saturationRows));
        oilDensity = oilSurfaceDensity(model.producedDensity, model.producedFvf);
        waterDensity = oilSurfaceDensity(model.displacingDensity, model.displacingFvf);
        break;
    case FluidSystem::GasOil:
        text.append("SGOF\n-- Sg, krg, krog, Pc psi: ").append(curves).append("\n");
        text.append("-- (two phases: the connate water is held as immobile liquid)\n");
        text.append(rows(model.saturationRows));
        oilDensity = oilSurfaceDensity(model.producedDensity, model.producedFvf);
        gasDensity = gasSurfaceDensity(model.displacingDensity, model.displacingFvf);
        break;
    case FluidSystem::GasWater:
        text.append("SWFN\n-- Sw, krw, Pc psi: ").append(curves).append("\n");
        text.append(immobileWaterNote).append(rows(model.waterRows));
        text.append("SGFN\n-- Sg, krg, Pc psi: residual gas ")
            .append(deckNumber(model.corey->residualSaturation));
        if (model.corey->exponents[1] != 1.0)
            text.append(", Corey exponent ").append(deckNumber(model.corey->exponents[1]));
        if (model.corey->endpoints[1] != 1.0)
            text.append(", end point ").append(deckNumber(model.corey->endpoints[1]));
        text.append("\n").append(rows(model.gasRows));
        waterDensity = oilSurfaceDensity(model.displacingDensity, model.displacingFvf);
        gasDensity = gasSurfaceDensity(model.producedDensity, model.producedFvf);
        break;
    }
    const bool hasWater = model.system != FluidSystem::GasOil;
    const bool hasOil = model.system != FluidSystem::GasWater;
    if (hasWater) {
        text.append("PVTW\n-- reference pressure psia, Bw rb/STB, compressibility 1/psi, "
                    "viscosity cp, viscosibility\n")
            .append(line({p0,
                          model.displacingFvf,
                          model.waterCompressibility,
                          model.displacingViscosity,
                          0.0}))
            .append(" /\n\n");
    }
    if (hasOil) {
        text.append("PVCDO\n-- dead oil: reference pressure psia, Bo rb/STB, compressibility "
                    "1/psi, viscosity cp, viscosibility\n")
            .append(line(
                {p0, model.producedFvf, model.fluidCompressibility, model.producedViscosity, 0.0}))
            .append(" /\n\n");
    }
    if (model.system == FluidSystem::GasOil) {
        text.append(gasTable(model.displacingFvf,
                             model.displacingViscosity,
                             model.fluidCompressibility,
                             p0))
            .append("\n");
    } else if (model.system == FluidSystem::GasWater) {
        text.append(
                gasTable(model.producedFvf, model.producedViscosity, model.fluidCompressibility, p0))
            .append("\n");
    }
    text.append("ROCK\n-- reference pressure psia, pore compressibility 1/psi\n")
        .append(line({p0, model.rockCompressibility}))
        .append(" /\n\n");
    text.append("DENSITY\n-- stock-tank lb/ft3 of oil, water and gas: the in-situ density "
                "times the formation\n-- volume factor (per 1000 ft3 for gas)\n")
        .append(line({oilDensity, waterDensity, gasDensity}))
        .append(" /\n\n");
    return text;
}

namespace {

// Gas-Water, given cell by cell: this simulator's gas-water model takes no EQUIL and needs some
// gas in every cell. Hydrostatic pressure from the top of the zone, connate water in the gas
// zone, and 0.1 % immobile gas in the bottom water.
std::string enumeratedSolution(const ReservoirModel &model)
{
    constexpr double psiPerFootPerGramPerCc = poundsPerCubicFootPerGramPerCc / 144.0;
    constexpr double gasInWater = 0.001;
    const std::size_t nx = columns(model);
    std::vector<double> pressure, water;
    double top = model.modelTop;
    double above = model.initialPressure; // at the top of the zone, the model's top
    double aboveDepth = model.zoneTop;
    for (double thickness : model.layerThickness) {
        const double centre = top + thickness / 2.0;
        const bool inZone = centre < model.contact;
        // Gas down to the centre or the contact, water below it.
        const double gasPart = std::min(centre, model.contact)
                               - std::min(aboveDepth, model.contact);
        const double waterPart = (centre - aboveDepth) - gasPart;
        const double p = above
                         + psiPerFootPerGramPerCc
                               * (model.producedDensity * gasPart
                                  + model.displacingDensity * waterPart);
        pressure.insert(pressure.end(), nx, p);
        water.insert(water.end(), nx, inZone ? model.connateWater : 1.0 - gasInWater);
        above = p;
        aboveDepth = centre;
        top += thickness;
    }
    std::string text = "PRESSURE\n-- psia at the cell centres: hydrostatic from the top of the "
                       "zone\n";
    text.append(deckArray(pressure)).append("\n");
    text.append("SWAT\n-- connate water in the gas zone; 0.1 % immobile gas in the bottom water\n")
        .append(deckArray(water))
        .append("\n");
    return text;
}

} // namespace

std::string solutionSection(const ReservoirModel &model)
{
    std::string text = "SOLUTION\n\n";
    if (model.system == FluidSystem::GasWater)
        return text + enumeratedSolution(model);
    double bottom = model.modelTop;
    for (double thickness : model.layerThickness)
        bottom += thickness;
    // A contact outside the model stands for a phase it does not have.
    const double waterContact = model.system == FluidSystem::GasOil ? bottom + 100.0
                                                                    : model.contact;
    const double gasContact = model.system == FluidSystem::GasOil ? model.contact
                                                                  : model.modelTop - 100.0;
    text.append("EQUIL\n-- datum ft (top of the zone), pressure psia, water contact ft, Pc, gas "
                "contact ft, Pc:\n-- hydrostatic equilibrium\n")
        .append(line({model.zoneTop, model.initialPressure, waterContact, 0.0, gasContact, 0.0}))
        .append(" /\n\n");
    return text;
}

std::string summarySection(const ReservoirModel & /*model*/)
{
    std::string text = "SUMMARY\n\n";
    text.append("-- surface rates STB/day or Mscf/day, bottom-hole pressure psia, cumulative "
                "production\n-- STB or Mscf\n");
    for (const char *keyword : {"WOPR", "WWPR", "WGPR", "WBHP", "WOPT", "WWPT", "WGPT"}) {
        text.append(keyword).append("\n '").append(wellName).append("' /\n");
    }
    text.append("\n");
    return text;
}

std::string scheduleSection(const ReservoirModel &model)
{
    std::string text = "SCHEDULE\n\n";
    text.append(crossSection(model) ? "WELSPECS\n-- well, group, cell along the well, column, "
                                      "reference depth (its connection), preferred phase\n '"
                                    : "WELSPECS\n-- well, group, ring, sector, reference depth "
                                      "(top connection), preferred phase\n '")
        .append(wellName)
        .append("' 'G' 1 1 1* '")
        .append(producesGas(model) ? "GAS" : "OIL")
        .append("' /\n/\n\n");
    if (crossSection(model))
        text.append("COMPDAT\n-- well, cell along the well, column, first and last layer, open, "
                    "table, connection\n-- factor rb cp/day/psi, 4 defaults, direction: along x. "
                    "Half of 2 pi 0.001127 sqrt(ky kz) L /\n-- ln(ro / rw'), ro the anisotropic "
                    "Peaceman radius of the whole well cell, no skin\n");
    else
        text.append("COMPDAT\n-- well, ring, sector, first and last layer, open, table, "
                    "connection factor rb cp/day/psi:\n-- 0.001127 x 2 pi k dz / ln(r_node / rw) "
                    "into the first ring, no skin\n");
    const std::size_t first = model.firstOpenLayer;
    for (std::size_t k = first; k < first + model.openLayers;) {
        std::size_t last = k;
        while (last + 1 < first + model.openLayers
               && model.layerThickness[last + 1] == model.layerThickness[k])
            ++last;
        text.append(" '")
            .append(wellName)
            .append("' 1 1 ")
            .append(std::to_string(k + 1))
            .append(" ")
            .append(std::to_string(last + 1))
            .append(" 'OPEN' 1* ")
            .append(deckNumber(connectionFactor(model, k)))
            .append(crossSection(model) ? " 4* 'X' /\n" : " /\n");
        k = last + 1;
    }
    text.append("/\n\n");
    text.append("WCONPROD\n-- a constant ")
        .append(producesGas(model) ? "gas rate, Mscf/day" : "oil rate, STB/day")
        .append(crossSection(model) ? " (the half of the well's on this side)" : "")
        .append(", down to a bottom-hole pressure of ")
        .append(deckNumber(model.minimumBhp))
        .append(" psia\n '")
        .append(wellName)
        .append(producesGas(model) ? "' 'OPEN' 'GRAT' 2* " : "' 'OPEN' 'ORAT' ")
        .append(deckNumber(deckRate(model)))
        .append(producesGas(model) ? " 2* " : " 4* ")
        .append(deckNumber(model.minimumBhp))
        .append(" /\n/\n\n");
    text.append("TSTEP\n-- days: short steps first, for an early breakthrough\n")
        .append(deckArray(model.reportSteps))
        .append("\n");
    return text;
}

std::string writeDeck(const ReservoirModel &model)
{
    std::string deck = crossSection(model) ? "-- A horizontal well and its cresting zone in a "
                                             "cross-section, written by coning-calc.\n\n"
                                           : "-- A vertical well and its coning zone, written by "
                                             "coning-calc.\n\n";
    deck.append(runspecSection(model));
    deck.append(gridSection(model));
    deck.append(editSection(model));
    deck.append(propsSection(model));
    deck.append(solutionSection(model));
    deck.append(summarySection(model));
    deck.append(scheduleSection(model));
    deck.append("END\n");
    return deck;
}

} // namespace coning::sim
