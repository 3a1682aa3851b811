#include "tools/cli/CommandLine.h"
#include "tools/cli/Commands.h"
#include "tools/cli/StandardStreams.h"

int main(int argc, char** argv)
{
    ReserveStandardDescriptors();
    int status = RunCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    std::string error;
    if (status == kExitOk && !FinishStandardOutput(&error)) {
        PrintError("standard output", error);
        status = kExitOutput;
    }
    return status;
}
