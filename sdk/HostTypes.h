// Primitive types of the host interface, as the host lays them out on x64 Windows.
//
// The same declarations compile natively (Linux x86-64), where the harness and the module share one
// process; every type here has a fixed width so that layouts agree on both platforms.
#pragma once

#include <cstddef>
#include <cstdint>

using int8 = int8_t;
using int16 = int16_t;
using int32 = int32_t;
using int64 = int64_t;
using uint8 = uint8_t;
using uint16 = uint16_t;
using uint32 = uint32_t;
using uint64 = uint64_t;

using Boolean = uint8_t;   // 1 byte; hosts read only the low byte
using OSErr = int16_t;
using SPErr = int32_t;
using SPBoolean = int32_t; // a Windows BOOL
using Fixed = int32_t;     // 16.16
using OSType = uint32_t;
using ResType = uint32_t;
using PIType = uint32_t;
using Ptr = char*;
using Handle = char**;
using Str255 = unsigned char[256];

using DescriptorKeyID = uint32_t;
using DescriptorTypeID = uint32_t;
using DescriptorUnitID = uint32_t;
using DescriptorEnumID = uint32_t;
using DescriptorEnumTypeID = uint32_t;
using DescriptorClassID = uint32_t;
using DescriptorEventID = uint32_t;
using DescriptorFormID = uint32_t;

// Opaque host objects.
using BufferID = struct BufferIDOpaque*;
using PIReadDescriptor = struct PIReadDescriptorOpaque*;
using PIWriteDescriptor = struct PIWriteDescriptorOpaque*;
using PIActionDescriptor = struct PIActionDescriptorOpaque*;
using PIActionList = struct PIActionListOpaque*;
using PIActionReference = struct PIActionReferenceOpaque*;
using ASZString = struct ASZStringOpaque*;
using ChannelReadPort = struct ChannelReadPortOpaque*;
using ChannelWritePort = struct ChannelWritePortOpaque*;
using PIDescriptorHandle = Handle;

// A four-character code is the big-endian reading of its characters: FourCC("8BIM") == 0x3842494D.
constexpr uint32_t FourCC(const char (&code)[5])
{
    return (uint32_t(uint8_t(code[0])) << 24) | (uint32_t(uint8_t(code[1])) << 16) |
           (uint32_t(uint8_t(code[2])) << 8) | uint32_t(uint8_t(code[3]));
}
static_assert(FourCC("8BIM") == 0x3842494Du && FourCC("#Prc") == 0x23507263u && FourCC("wtch") == 0x77746368u);

struct Point
{
    int16 v, h;
};

struct Rect
{
    int16 top, left, bottom, right;
};

struct VPoint
{
    int32 v, h;
};

struct VRect
{
    int32 top, left, bottom, right;
};

struct PSRGBColor
{
    uint16 red, green, blue;
};

using FilterColor = unsigned char[4];

struct PlugInMonitor
{
    Fixed gamma, redX, redY, greenX, greenY, blueX, blueY, whiteX, whiteY, ambient;
};

// What platformData points to on Windows: the parent window, not the window itself.
struct PlatformData
{
    intptr_t hwnd;
};

static_assert(sizeof(Point) == 4 && sizeof(Rect) == 8 && sizeof(VPoint) == 8 && sizeof(VRect) == 16);
static_assert(sizeof(PSRGBColor) == 6 && sizeof(PlugInMonitor) == 40 && sizeof(PlatformData) == 8);
