#pragma once

#include <array>
#include <stdexcept>
#include <string_view>

namespace coning {

// Window positions and sizes are kept in twips, as the form was designed; 15 twips make one
// logical pixel and Qt's high-DPI scaling takes it from there.
inline constexpr int twipsPerPixel = 15;

constexpr int toPixels(int twips)
{
    return twips / twipsPerPixel;
}

inline constexpr int clientWidthTwips = 9750;
inline constexpr int clientHeightTwips = 6060;

struct ControlLayout
{
    std::string_view name;
    std::string_view container; // empty for the client area; positions are relative to it
    int left = 0;               // twips
    int top = 0;
    int width = 0;
    int height = 0;
    int tabIndex = 0;
};

// Every control of the window, from top to bottom, as the form lays it out.
inline constexpr std::array<ControlLayout, 31> formLayout = {{
    {"Toolbar1", "", 0, 0, 1275, 660, 29},          {"Label11", "", 1440, 360, 495, 255, 28},
    {"Text1", "", 1920, 360, 4575, 375, 0},         {"Frame1", "", 6840, 240, 1935, 975, 24},
    {"Option1", "Frame1", 120, 240, 1695, 255, 25}, {"Option2", "Frame1", 120, 600, 1815, 375, 26},
    {"syspk", "", 120, 840, 2175, 315, 1},          {"Label1", "", 2640, 840, 975, 375, 13},
    {"rwin", "", 3720, 840, 615, 375, 2},           {"Label2", "", 4680, 840, 1215, 375, 14},
    {"rein", "", 6000, 840, 615, 375, 3},           {"Label6", "", 120, 1560, 1215, 375, 18},
    {"hin", "", 1440, 1560, 615, 375, 4},           {"Label7", "", 2520, 1560, 1935, 495, 19},
    {"din", "", 4200, 1560, 735, 375, 5},           {"Label10", "", 5400, 1560, 1695, 375, 27},
    {"topin", "", 6840, 1560, 735, 375, 6},         {"Label4", "", 600, 2280, 855, 375, 16},
    {"bin", "", 1440, 2280, 615, 375, 7},           {"Label5", "", 3120, 2280, 1095, 375, 17},
    {"vin", "", 4200, 2280, 615, 375, 8},           {"Label8", "", 5280, 2160, 1455, 495, 20},
    {"rhoin", "", 6720, 2280, 735, 375, 9},         {"Label9", "", 2760, 2880, 1695, 495, 21},
    {"Label3", "", 480, 3000, 975, 375, 15},        {"permin", "", 1440, 3000, 615, 375, 10},
    {"bhpin", "", 4560, 3000, 735, 375, 11},        {"Picture2", "", 6120, 3120, 3495, 2775, 30},
    {"Picture1", "", 3120, 3480, 2655, 2415, 22},   {"zorv", "", 600, 3600, 2295, 495, 12},
    {"bar", "", 480, 4200, 2535, 1575, 23},
}};

// The layout of the named control; naming one the form does not have is a programming error.
constexpr const ControlLayout &layoutOf(std::string_view name)
{
    for (const ControlLayout &control : formLayout) {
        if (control.name == name)
            return control;
    }
    throw std::out_of_range("no such control");
}

} // namespace coning
