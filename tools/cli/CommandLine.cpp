#include "tools/cli/CommandLine.h"

#include <cstdio>

#include "diag/ModuleVersion.h"
#include "tools/cli/Commands.h"
#include "tools/cli/Interrupt.h"

namespace {

const char* const kHelp =
    "Usage:\n"
    "  corvane apply IN OUT [parameters] [--preset FILE.cvp] [--mask FILE] [--tile N]\n"
    "  corvane stars IN\n"
    "  corvane demo [FOLDER]\n"
    "  corvane --help | --version\n"
    "\n"
    "apply adds diffraction spikes to the stars of IN and writes OUT. IN may be TIFF (8/16-bit or\n"
    "32-bit float), PNG (8/16-bit) or FITS (BITPIX 8, 16 or -32), grey or RGB, TIFF and PNG with or\n"
    "without alpha. OUT is written in IN's format and depth, or in the format its extension names\n"
    "(.tif, .png, .fits). A TIFF OUT keeps a TIFF IN's compression where it is lossless (none, LZW,\n"
    "deflate, PackBits, ZSTD, LZMA); from any other input, or a JPEG or WebP-compressed TIFF, it is\n"
    "deflate-compressed. Without any parameter or preset, apply repeats the last filter with the\n"
    "parameters of the previous run.\n"
    "\n"
    "Parameters:\n"
    "  --intensity N            0..100   brightness of the spikes, how many stars get them\n"
    "  --length N               0..100   length of the spikes\n"
    "  --angle DEG            -90.0..90.0 rotation in degrees, one decimal, clockwise\n"
    "  --points N               1..32    number of main spikes\n"
    "  --sharpness N            0..100   fuzzy (low) to sharp (high) spikes\n"
    "  --saturation N        -100..100   colour intensity of the spikes\n"
    "  --rainbow-intensity N    0..100   brightness of the rainbow colours\n"
    "  --rainbow-frequency N    0..100   how quickly the rainbow changes along a spike\n"
    "  --secondary-intensity N  0..100   brightness of the secondary spikes\n"
    "  --flare N                0..100   brightness of the soft flare\n"
    "  --spikes-only / --no-spikes-only  output the effect alone, or over the image\n"
    "\n"
    "Other options:\n"
    "  --preset FILE.cvp   start from a saved parameter set (parameters given override it)\n"
    "  --mask FILE         grey image of IN's size: the selection (white = full effect)\n"
    "  --tile N            the host's tile size in pixels\n"
    "\n"
    "stars prints the stars found in IN as JSON. A star is taken only where a pixel reaches half of\n"
    "white: stretch a linear image, such as a raw FITS frame, first. demo makes the sample starfield\n"
    "in FOLDER (default corvane-demo), or uses the starfield.tif there, and writes the result next to it.\n"
    "\n"
    "Exit status: 0 done, 1 bad command line, 2 input file error, 3 output file error (also standard\n"
    "output), 4 filter error (host result code printed), 128 + the signal when cancelled by Ctrl-C (130),\n"
    "SIGHUP (129) or SIGTERM (143); nothing is written then.\n";

// The module's own version, so that the program and the plug-in built with it never disagree.
void PrintVersion()
{
    uint32_t version[4];
    GetFixedFileInfo(OwnModule(), version);
    std::printf("corvane (Corvane Pro) %u.%u.%u.%u\n", unsigned(version[0]), unsigned(version[1]), unsigned(version[2]),
                unsigned(version[3]));
}

void PrintUsageError(const std::string& reason)
{
    std::fprintf(stderr, "corvane: %s\nTry 'corvane --help'.\n", reason.c_str());
}

} // namespace

int RunCommandLine(const std::vector<std::string>& arguments)
{
    if (arguments.empty()) {
        PrintUsageError("no command given");
        return kExitUsage;
    }
    const std::string& command = arguments[0];
    std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kHelp, stdout);
        return kExitOk;
    }
    if (command == "--version") {
        PrintVersion();
        return kExitOk;
    }
    for (const std::string& argument : rest) {
        if (argument == "--help" || argument == "-h") {
            std::fputs(kHelp, stdout);
            return kExitOk;
        }
    }
    InstallInterruptHandler();
    if (command == "apply") {
        ApplyOptions options;
        std::string error;
        if (!ParseApplyOptions(rest, &options, &error)) {
            PrintUsageError(error);
            return kExitUsage;
        }
        return RunApply(options);
    }
    if (command == "stars") {
        if (rest.size() != 1) {
            PrintUsageError("stars takes one input file");
            return kExitUsage;
        }
        return RunStars(rest[0]);
    }
    if (command == "demo") {
        if (rest.size() > 1) {
            PrintUsageError("demo takes at most one folder");
            return kExitUsage;
        }
        return RunDemo(rest.empty() ? "corvane-demo" : rest[0]);
    }
    PrintUsageError("unknown command '" + command + "'");
    return kExitUsage;
}
