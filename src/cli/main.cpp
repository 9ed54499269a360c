#include "cli/command_line.h"

#include <iostream>

int main(int argc, char **argv)
{
    std::ios::sync_with_stdio(false); // batch mode streams many rows through cin and cout
    return coning::cli::runConingCalc(argc, argv, std::cin, std::cout, std::cerr);
}
