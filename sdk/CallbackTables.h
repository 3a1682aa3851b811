// Callback tables that the host reaches the plug-in through the filter record (natural alignment).
//
// Hosts may hand in older, shorter tables: check the count field before calling a procedure past the
// ones every version has.
#pragma once

#include "sdk/HostTypes.h"

struct PSImagePlane;
struct PSImageMultiPlane;
struct PSImageMultiPlane32;
struct PSScaling;
struct PixelMemoryDesc;

using NewPIHandleProc = Handle (*)(int32 size);
using DisposePIHandleProc = void (*)(Handle h);
using GetPIHandleSizeProc = int32 (*)(Handle h);
using SetPIHandleSizeProc = OSErr (*)(Handle h, int32 newSize);
using LockPIHandleProc = Ptr (*)(Handle h, Boolean moveHigh);
using UnlockPIHandleProc = void (*)(Handle h);
using RecoverSpaceProc = void (*)(int32 size);
using DisposeRegularHandleProc = void (*)(Handle h);

struct HandleProcs
{
    int16 handleProcsVersion;
    int16 numHandleProcs;
    NewPIHandleProc newProc;
    DisposePIHandleProc disposeProc;
    GetPIHandleSizeProc getSizeProc;
    SetPIHandleSizeProc setSizeProc;
    LockPIHandleProc lockProc;
    UnlockPIHandleProc unlockProc;
    RecoverSpaceProc recoverSpaceProc;
    DisposeRegularHandleProc disposeRegularHandleProc;
};

using AllocateBufferProc = OSErr (*)(int32 size, BufferID* bufferID);
using LockBufferProc = Ptr (*)(BufferID bufferID, Boolean moveHigh);
using UnlockBufferProc = void (*)(BufferID bufferID);
using FreeBufferProc = void (*)(BufferID bufferID);
using BufferSpaceProc = int32 (*)();
using ReserveBufferSpaceProc = OSErr (*)(int32 size);
using AllocateBufferProc64 = OSErr (*)(int64 size, BufferID* bufferID);
using BufferSpaceProc64 = int64 (*)();

struct BufferProcs
{
    int16 bufferProcsVersion;
    int16 numBufferProcs;
    AllocateBufferProc allocateProc;
    LockBufferProc lockProc;
    UnlockBufferProc unlockProc;
    FreeBufferProc freeProc;
    BufferSpaceProc spaceProc;
    ReserveBufferSpaceProc reserveProc; // only when numBufferProcs >= 6
    AllocateBufferProc64 allocateProc64;
    BufferSpaceProc64 spaceProc64;
};

struct ResourceProcs
{
    int16 resourceProcsVersion;
    int16 numResourceProcs;
    int16 (*countProc)(ResType type);
    Handle (*getProc)(ResType type, int16 index);
    void (*deleteProc)(ResType type, int16 index);
    OSErr (*addProc)(ResType type, Handle data);
};

using GetPropertyProc = OSErr (*)(PIType signature, PIType key, int32 index, intptr_t* simpleProperty,
                                  Handle* complexProperty);
using SetPropertyProc = OSErr (*)(PIType signature, PIType key, int32 index, intptr_t simpleProperty,
                                  Handle complexProperty);

// Also the layout of the Property suite that sSPBasic hands out.
struct PropertyProcs
{
    int16 propertyProcsVersion;
    int16 numPropertyProcs;
    GetPropertyProc getPropertyProc;
    SetPropertyProc setPropertyProc;
};

struct ImageServicesProcs
{
    int16 imageServicesProcsVersion;
    int16 numImageServicesProcs;
    OSErr (*interpolate1DProc)(PSImagePlane* source, PSImagePlane* destination, Rect* area, Fixed* coords,
                               int16 method);
    OSErr (*interpolate2DProc)(PSImagePlane* source, PSImagePlane* destination, Rect* area, Fixed* coords,
                               int16 method);
    OSErr (*interpolate1DMultiProc)(PSImageMultiPlane*, PSImageMultiPlane*, Rect*, Fixed*, int16);
    OSErr (*interpolate2DMultiProc)(PSImageMultiPlane*, PSImageMultiPlane*, Rect*, Fixed*, int16);
    OSErr (*interpolate1DMulti32Proc)(PSImageMultiPlane32*, PSImageMultiPlane32*, VRect*, int64*, int16);
    OSErr (*interpolate2DMulti32Proc)(PSImageMultiPlane32*, PSImageMultiPlane32*, VRect*, int64*, int16);
};

struct ChannelPortProcs
{
    int16 channelPortProcsVersion;
    int16 numChannelPortProcs;
    OSErr (*readPixelsProc)(ChannelReadPort port, const PSScaling* scaling, const VRect* writeRect,
                            const PixelMemoryDesc* destination, VRect* wroteRect);
    OSErr (*writeBasePixelsProc)(ChannelWritePort port, const VRect* writeRect, const PixelMemoryDesc* source);
    OSErr (*readPortForWritePortProc)(ChannelReadPort* readPort, ChannelWritePort writePort);
};

constexpr int16 kCurrentHandleProcsVersion = 1;
constexpr int16 kCurrentHandleProcsCount = 8;
constexpr int16 kCurrentBufferProcsVersion = 2;
constexpr int16 kCurrentBufferProcsCount = 8;
constexpr int16 kCurrentPropertyProcsVersion = 1;
constexpr int16 kCurrentPropertyProcsCount = 2;

// The x64 layout hosts use: a field at the wrong offset reads garbage from a real host.
static_assert(sizeof(HandleProcs) == 72 && sizeof(BufferProcs) == 72 && sizeof(ResourceProcs) == 40);
static_assert(sizeof(PropertyProcs) == 24 && sizeof(ImageServicesProcs) == 56 && sizeof(ChannelPortProcs) == 32);
static_assert(offsetof(HandleProcs, newProc) == 8);
static_assert(offsetof(HandleProcs, disposeProc) == 16);
static_assert(offsetof(HandleProcs, getSizeProc) == 24);
static_assert(offsetof(HandleProcs, setSizeProc) == 32);
static_assert(offsetof(HandleProcs, lockProc) == 40);
static_assert(offsetof(HandleProcs, unlockProc) == 48);
static_assert(offsetof(HandleProcs, disposeRegularHandleProc) == 64);
static_assert(offsetof(BufferProcs, allocateProc) == 8);
static_assert(offsetof(BufferProcs, lockProc) == 16);
static_assert(offsetof(BufferProcs, unlockProc) == 24);
static_assert(offsetof(BufferProcs, freeProc) == 32);
static_assert(offsetof(BufferProcs, spaceProc) == 40);
static_assert(offsetof(BufferProcs, spaceProc64) == 64);
static_assert(offsetof(PropertyProcs, getPropertyProc) == 8);
static_assert(offsetof(PropertyProcs, setPropertyProc) == 16);
