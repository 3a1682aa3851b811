// The commands of `corvane`. Each returns the process's exit status and prints its own messages,
// each naming the file it is about and the reason.
#pragma once

#include <string>
#include <vector>

#include "tools/cli/ImageFormats.h"
#include "tools/cli/Options.h"

// Exit statuses (documented in the README).
constexpr int kExitOk = 0;
constexpr int kExitUsage = 1;  // bad command line or option
constexpr int kExitInput = 2;  // an input file (image, mask, preset) cannot be used
constexpr int kExitOutput = 3; // the output cannot be written
constexpr int kExitFilter = 4; // the filter failed; its host result code is printed
// A cancelled run exits with CancelledExitStatus() (Interrupt.h): 128 + the signal, 130 for Ctrl-C.

int RunApply(const ApplyOptions& options);
int RunStars(const std::string& input);
int RunDemo(const std::string& folder);

// Prints "corvane: <subject>: <reason>" on standard error.
void PrintError(const std::string& subject, const std::string& reason);

// Reads an image, reporting failures against its name; false after printing.
bool LoadImage(const std::string& path, ImageFile* image, FileFormat* format);
// Says once how many float samples of the image the filter sees clamped to 0..1, if any.
void ReportClampedSamples(const std::string& path, const ImageFile& image);
// Writes an image through a temporary file and returns kExitOk, kExitOutput or CancelledExitStatus()
// (a cancel before the final rename), after printing any failure.
int SaveImage(const std::string& path, FileFormat format, const ImageFile& image);
