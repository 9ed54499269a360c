// coning-calc --well horizontal as a black box: its report, its usage errors for mixed vertical
// and horizontal options, and a batch file with both kinds of rows.
#include "process.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace coning::testing;

namespace {

const std::string horizontalWell
    = "--well horizontal --fluid-system Oil-Water --permeability 100 --kv-kh 0.1 --viscosity 1 "
      "--fvf 1.2 --density-difference 0.3 --zone-thickness 50 --well-length 2000 --standoff 40 "
      "--boundary-distance 500 --well-radius 4";
const std::string verticalWell
    = "--fluid-system Oil-Water --permeability 100 --viscosity 1 --fvf 1.2 "
      "--density-difference 0.3 --drainage-radius 1000 --well-radius 3 --zone-thickness 50 "
      "--penetration 15";

TEST(Horizontal, TextAndJsonReports)
{
    const ProcessResult text = runProgram(words(horizontalWell));
    EXPECT_EQ(text.exitCode, 0) << text.err;
    EXPECT_EQ(text.out,
              "    CRITICAL CRESTING RATES\n"
              "  Chaperon      =      507.4 STB/DAY\n"
              "  Efros         =       30.5 STB/DAY\n"
              "  Joshi         =       83.6 STB/DAY\n"
              "  Giger-Karcher =      122.0 STB/DAY\n");
    const ProcessResult json = runProgram(words(horizontalWell + " --format json"));
    EXPECT_EQ(json.exitCode, 0) << json.err;
    EXPECT_EQ(json.out,
              "{\"wellType\":\"horizontal\",\"fluidSystem\":\"Oil-Water\",\"unit\":\"STB/DAY\","
              "\"rates\":{\"Chaperon\":507.3781040809278,\"Efros\":30.543638067195996,"
              "\"Joshi\":83.64892549720408,\"Giger-Karcher\":121.9963333333333}}\n");
}

struct MixedCase
{
    const char *name;
    std::string args;
    const char *message; // the first line of standard error
};

TEST(Horizontal, MixedOptionsAreUsageErrorsNamingTheOption)
{
    const std::vector<MixedCase> cases = {
        {"penetration",
         horizontalWell + " --penetration 15",
         "--penetration is only for vertical wells, not with --well horizontal"},
        {"completion",
         horizontalWell + " --completion partial-completion",
         "--completion is only for vertical wells, not with --well horizontal"},
        {"design",
         horizontalWell + " --target-rate 100",
         "--target-rate is only for vertical wells, not with --well horizontal"},
        {"vertical input to a simulation",
         horizontalWell + " --simulate-critical --drainage-radius 1000",
         "--drainage-radius is only for vertical wells, not with --well horizontal"},
        {"simulation setting alone",
         horizontalWell + " --years 5",
         "--years is only for --simulate-rate or --simulate-critical"},
        {"well outside the zone",
         "--well horizontal --fluid-system Oil-Water --permeability 100 --kv-kh 0.1 --viscosity 1 "
         "--fvf 1.2 --density-difference 0.3 --zone-thickness 50 --well-length 2000 --standoff 60 "
         "--boundary-distance 500 --well-radius 4 --simulate-rate 100",
         "--standoff: the simulation needs the well inside the zone: a standoff greater than 0 "
         "and at most the zone thickness of 50 ft"},
        {"well cell beyond the boundary",
         "--well horizontal --fluid-system Oil-Water --permeability 100 --kv-kh 0.001 --viscosity "
         "1 "
         "--fvf 1.2 --density-difference 0.3 --zone-thickness 50 --well-length 2000 --standoff 40 "
         "--boundary-distance 100 --well-radius 4 --simulate-critical",
         "--boundary-distance: the well's cell in the model is"},
        {"missing",
         "--well horizontal --fluid-system Oil-Water",
         "--permeability is required for horizontal wells"},
        {"standoff without well",
         verticalWell + " --standoff 40",
         "--standoff is only for horizontal wells: add --well horizontal"},
        {"explicit vertical",
         verticalWell + " --well vertical --well-length 2000",
         "--well-length is only for horizontal wells: add --well horizontal"},
        {"unknown type",
         verticalWell + " --well slanted",
         "--well: \"slanted\" is not a well type: use vertical or horizontal"},
        {"batch",
         "--batch - --well horizontal",
         "--well cannot be combined with --batch: the batch file gives the wells, one per row"},
    };
    for (const MixedCase &c : cases) {
        const ProcessResult result = runProgram(words(c.args));
        EXPECT_EQ(result.exitCode, 2) << c.name;
        EXPECT_EQ(result.out, "") << c.name;
        const std::string expected = std::string("coning-calc: ") + c.message;
        EXPECT_EQ(result.err.substr(0, expected.size()), expected) << c.name;
    }
    // Spelling out the default changes nothing.
    EXPECT_EQ(runProgram(words(verticalWell + " --well vertical")).out,
              runProgram(words(verticalWell)).out);
}

TEST(Horizontal, BatchWithBothKindsOfRows)
{
    const std::string file
        = "well,well-type,fluid-system,permeability,viscosity,fvf,density-difference,"
          "drainage-radius,well-radius,zone-thickness,penetration,kv-kh,well-length,standoff,"
          "boundary-distance\n"
          "V-1,,Oil-Water,100,1,1.2,0.3,1000,3,50,15,,,,\n"
          "H-1,horizontal,Oil-Water,100,1,1.2,0.3,,4,50,,0.1,2000,40,500\n"
          "H-2,horizontal,Oil-Water,100,1,1.2,0.3,1000,4,50,,0.1,2000,,500\n"
          "V-2,vertical,Oil-Water,100,1,1.2,0.3,1000,3,50,15,0.5,,,\n";
    const ProcessResult csv = runProgram({"--batch", "-"}, file);
    EXPECT_EQ(csv.exitCode, 1);
    EXPECT_EQ(csv.out,
              "line,well,well-type,unit,percent-penetration,Sobocinski,Muskat,Meyer-Garder,"
              "Chaney-Noble,Schols,Guo-Lee,Chaperon,Efros,Joshi,Giger-Karcher,message\r\n"
              "2,V-1,vertical,STB/DAY,30,21.11192938299091,22.629923053058135,"
              "10.526680727573508,21.838401565350868,14.806208757409987,19.928930424324463,,,,,"
              "\r\n"
              "3,H-1,horizontal,STB/DAY,,,,,,,,507.3781040809278,30.543638067195996,"
              "83.64892549720408,121.9963333333333,\r\n"
              "4,H-2,horizontal,,,,,,,,,,,,,\"line 4, column standoff: a value is required for "
              "horizontal wells; line 4, column drainage-radius: only for vertical wells, not for "
              "a horizontal row\"\r\n"
              "5,V-2,vertical,,,,,,,,,,,,,\"line 5, column kv-kh: only for simulating or for a "
              "horizontal row\"\r\n");
    const ProcessResult json = runProgram({"--batch", "-", "--format", "json"}, file);
    EXPECT_NE(json.out.find("{\"line\":3,\"well\":\"H-1\",\"wellType\":\"horizontal\","),
              std::string::npos);
    // A file without a well-type column cannot hold horizontal inputs.
    const ProcessResult untyped = runProgram(
        {"--batch", "-"},
        "fluid-system,permeability,viscosity,fvf,density-difference,drainage-radius,well-radius,"
        "zone-thickness,standoff\n");
    EXPECT_EQ(untyped.exitCode, 2);
    EXPECT_EQ(untyped.err,
              "coning-calc: line 1: the column \"standoff\" is only for horizontal wells: add a "
              "well-type column\n");
}

} // namespace
