#include "cli/checked_stream.h"
#include "cli/command_line.h"

#include <iostream>

int main(int argc, char **argv)
{
    using namespace coning::cli;
    // Before anything is opened, so that no file can take the place of a closed one.
    const int inputError = occupyIfClosed(0);
    const int outputError = occupyIfClosed(1);
    occupyIfClosed(2);

    // Checked reads and writes straight on the descriptors: batch mode streams many rows, and a
    // result that cannot be written must not pass for success.
    DescriptorInput inputBuffer(0, "standard input", inputError);
    DescriptorOutput outputBuffer(1, outputError);
    std::istream in(&inputBuffer);
    std::ostream out(&outputBuffer);
    return runConingCalc(argc, argv, in, out, std::cerr);
}
