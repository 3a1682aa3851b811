// Whole filter runs through the host harness. Natively the module is the linked entry point; in the
// Windows build it is CorvanePro.8bf, loaded the way a host loads it, so the same tests check the
// shipped module. Tests that steer the engine from inside (user-input polling) use the linked entry
// point in both builds, since a loaded module keeps its own copy of the engine's state.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "common/TestDataRoots.h"
#include "e2e/UserMessageWatch.h"
#include "engine/FilterParameters.h"
#include "engine/UserInput.h"
#include "host/PluginGlobals.h"
#include "host/PluginMain.h"
#include "image/BufferRecord.h"
#include "tools/harness/Harness.h"
#include "tools/starfield/StarfieldGenerator.h"

class FilterRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ForgetLinkedModule();
        const std::string path = DefaultModulePath();
        const bool loaded = LoadModule(path, &module_);
        // Natively the linked module always loads; the Windows build may not have made the .8bf yet.
        if (!loaded && path.empty())
            GTEST_SKIP() << "this build has no CorvanePro.8bf to load: " << module_.error;
        ASSERT_TRUE(loaded) << module_.error;
    }
    void TearDown() override
    {
        UnloadModule(&module_);
        CloseDebugLog();
        ForgetLinkedModule();
    }
    static void ForgetLinkedModule()
    {
        SetUserInputPendingHook(nullptr);
        ResetPluginGlobals();
        ResetBufferUsage();
    }

    // The module as a host finds it.
    PluginEntryProc Module() const { return module_.entry; }
    // The module whose engine this test program can reach.
    static PluginEntryProc Linked() { return PluginMain; }

    TestDataRoots roots_;
    LoadedModule module_;
};

// How a seeded starfield is laid out in a host document.
struct FieldLayout
{
    int32_t width;
    int32_t height;
    int16 mode;
    bool transparency;
    bool selection;
    uint64_t seed = 20261206;
    int32_t stars = 60;
    std::vector<StarfieldStar> extraStars = {}; // placed by hand, after the seeded ones
};

// The starfield's linear light taken as host values (white is the host's full scale), a transparency
// plane of varied coverage with fully transparent patches, and a feathered elliptical selection. Only
// exact arithmetic is used, so both builds make the same document.
HostDocument StarfieldDocument(const FieldLayout& layout);
// Puts the starfield into a document that already exists, at (left, top).
void DrawStarfield(const FieldLayout& layout, int32_t left, int32_t top, HostDocument* document);

// The eleven parameters at their factory values, as a host records them in an action.
Descriptor FactoryDescriptor();

// A played-back action without its dialog, at factory settings: the result depends on nothing the
// module may have persisted from earlier runs.
OSErr RunAtFactorySettings(Host* host);

// Hosts without a descriptor registry restore the last parameters from the settings file; this makes
// it hold the factory values, whatever earlier runs of a loaded module left there.
void PersistFactorySettingsToFile(PluginEntryProc entry);

// FNV-1a (64-bit) of the document's colour planes, plane after plane, as stored by the host.
uint64_t ColourPlaneChecksum(const HostDocument& document);

// The rectangles the module wrote, in order; consecutive requests for planes of one tile count once.
std::vector<ImageRect> WrittenTiles(const Host& host);
// Output requests for `tile` (one per plane on a reference host).
int32_t OutputRequestsFor(const Host& host, const ImageRect& tile);

// The progress reports of an uninterrupted run over `tiles` tiles: the start, the detection step, and
// for each tile one report after rendering and one after writing it.
std::vector<std::pair<int32_t, int32_t>> PlainProgress(int32_t tiles);
std::vector<std::pair<int32_t, int32_t>> ProgressOf(const Host& host);

std::string Describe(const ImageRect& r);
// How test failures show a rectangle.
void PrintTo(const ImageRect& r, std::ostream* out);
