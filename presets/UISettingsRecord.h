// UISettings.bin: the dialog's window rectangle, tool and Preview setting as they carry from one dialog
// to the next, and two fields of a debug image display that are only carried through. One 52-byte
// little-endian record in the Settings folder, read and written whole.
#pragma once

#include <cstddef>
#include <cstdint>

#include "presets/RecordVersion.h"

struct StoredRect
{
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// The file is this record byte for byte: the module runs only on little-endian machines, where the
// in-memory layout is the stored one; the asserts keep it so.
struct UISettings
{
    RecordVersion version;     // 0.0.0.9; a file of any other version is not used
    StoredRect dialogRect;     // screen coordinates of the main dialog's window; empty: centre it
    uint32_t tool;             // 1 Hand, 2 Zoom, 3 Delete
    uint32_t preview;          // 1 when "Preview" was checked
    StoredRect debugImageRect; // a debug image display's window
    uint32_t debugImageZoom;   // its zoom choice, 0..3 for X1..X8
};

static_assert(sizeof(UISettings) == 52);
static_assert(offsetof(UISettings, dialogRect) == 8);
static_assert(offsetof(UISettings, tool) == 24);
static_assert(offsetof(UISettings, preview) == 28);
static_assert(offsetof(UISettings, debugImageRect) == 32);
static_assert(offsetof(UISettings, debugImageZoom) == 48);

constexpr RecordVersion kUISettingsVersion{0, 0, 0, 9};
constexpr const char* kUISettingsFileName = "UISettings.bin";

// True, with the record in `settings`, when the file is whole and of the current version; a missing
// file is silent, a short one or one of another version is logged, and `settings` is left untouched.
bool ReadUISettingsRecord(UISettings* settings);
void WriteUISettingsRecord(const UISettings& settings);
