#include <iostream>
#include <new>
#include <string>

#include "cli/commands.h"
#include "cli/interrupts.h"
#include "cli/options.h"

int main(int argc, char** argv)
{
    cliOptions options;
    std::string error;
    if (!parseArguments(argc, argv, options, error)) {
        std::cerr << programName << ": " << terminalText(error) << " (see --help)\n";
        return 1;
    }
    // A hostile input can ask for more memory than there is (a teacher of
    // thousands of days, one of them thousands of hours long, makes a week
    // of millions of cells): that is a failure like any other, not a crash.
    installInterruptHandlers();
    try {
        const int status = runCommand(options, std::cout, std::cerr);
        endByReceivedInterrupt();
        return status;
    } catch (const std::bad_alloc&) {
        std::cout.flush();
        reportFailure(std::cerr, options.input, "not enough memory for this timetable");
        return 1;
    }
}
