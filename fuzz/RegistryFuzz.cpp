// The host's registry file (HostRegistry.bin) on any bytes: the host loads it, and the module repeats
// the last filter from whatever descriptor it holds, on a small document, as `corvane apply IN OUT`
// does without parameters.
#include "fuzz/FuzzFile.h"
#include "host/PluginGlobals.h"
#include "host/PluginMain.h"
#include "tools/harness/Host.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    HostOptions options;
    options.registryPath = FuzzFile(data, size);
    ResetPluginGlobals();
    Host host(PluginMain, options);
    HostDocument document(16, 12, plugInModeRGB48);
    document.Fill([](int32_t plane, int32_t x, int32_t y) { return x == 8 && y == 6 ? 32768.0 : plane * 100.0; });
    if (host.SetDocument(document))
        host.RunScripted(plugInDialogSilent);
    return 0;
}
