// Standard input, output and error of the command line.
#pragma once

#include <string>

// Puts /dev/null in place of any of descriptors 0 to 2 the program was started without, so that no
// file opened later (an output, the debug log) takes their number and receives what is printed. The
// stand-ins for output and error are opened for reading only: printing to a closed stream still fails.
void ReserveStandardDescriptors();

// Flushes standard output; false with the reason when something printed could not be written.
bool FinishStandardOutput(std::string* error);
