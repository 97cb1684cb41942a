#include <iostream>
#include <string>

#include "cli/commands.h"
#include "cli/options.h"

int main(int argc, char** argv)
{
    cliOptions options;
    std::string error;
    if (!parseArguments(argc, argv, options, error)) {
        std::cerr << "horatab-export: " << error << " (see --help)\n";
        return 1;
    }
    return runCommand(options, std::cout, std::cerr);
}
