// The `corvane` command line: dispatch to the commands, help, usage errors.
#pragma once

#include <string>
#include <vector>

// The arguments after the program name; returns the exit status.
int RunCommandLine(const std::vector<std::string>& arguments);
