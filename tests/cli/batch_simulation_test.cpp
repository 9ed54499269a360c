// Batch simulation with a stand-in for flow: a script that notes how many of it run at once.
#include "process.h"
#include "scratch_tmpdir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using coning::testing::ProcessResult;
using coning::testing::runProgram;
using coning::testing::words;
namespace fs = std::filesystem;

// Three rows searching their critical rates, each search wanting two processes at once: with
// --jobs 2 never more than two run in all, and every row still gets its failure.
TEST(BatchSimulation, KeepsItsSimulatorProcessesWithinTheJobs)
{
    coning::testing::ScratchTmpdir scratch;
    scratch.setUp("batch-jobs");
    const fs::path running = scratch.path() / "running";
    const fs::path counts = scratch.path() / "counts";
    fs::create_directory(running);
    const fs::path script = scratch.path() / "flow";
    std::ofstream(script) << "#!/bin/sh\n"
                             "if [ \"$1\" = --version ]; then echo 'flow 0.0'; exit 0; fi\n"
                             "touch '"
                          << running.string() << "'/$$\n"
                          << "ls '" << running.string() << "' | wc -l >> '" << counts.string()
                          << "'\nsleep 0.3\nrm '" << running.string() << "'/$$\nexit 1\n";
    fs::permissions(script, fs::perms::owner_all);
    ::setenv("CONING_FLOW", script.c_str(), 1);
    const ProcessResult r = runProgram(
        words("--batch - --simulate-critical --jobs 2"),
        "well,fluid-system,permeability,viscosity,fvf,density-difference,drainage-radius,"
        "well-radius,zone-thickness,penetration\n"
        "A,Oil-Water,100,1,1.2,0.3,1000,3,50,15\nB,Oil-Water,100,1,1.2,0.3,1000,3,50,15\n"
        "C,Oil-Water,100,1,1.2,0.3,1000,3,50,15\n");
    ::unsetenv("CONING_FLOW");

    EXPECT_EQ(r.exitCode, 1);
    std::ifstream noted(counts);
    int count = 0, runs = 0, most = 0;
    while (noted >> count) {
        ++runs;
        most = std::max(most, count);
    }
    EXPECT_EQ(runs, 12); // each search's first two runs fail, and again with short steps
    EXPECT_EQ(most, 2);
    for (const char *line : {"\r\n2,A,", "\r\n3,B,", "\r\n4,C,"})
        EXPECT_NE(r.out.find(line), std::string::npos) << line;
    EXPECT_NE(r.err.find("line 4: simulated critical rate: at "), std::string::npos) << r.err;
    EXPECT_TRUE(scratch.nothingLeft());
    scratch.tearDown();
}

} // namespace
