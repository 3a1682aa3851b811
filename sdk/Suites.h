// Host suites handed out through sSPBasic->AcquireSuite (natural alignment).
#pragma once

#include "sdk/HostTypes.h"

struct SPBasicSuite
{
    SPErr (*AcquireSuite)(const char* name, int32 version, const void** suite);
    SPErr (*ReleaseSuite)(const char* name, int32 version);
    SPBoolean (*IsEqual)(const char* token1, const char* token2);
    SPErr (*AllocateBlock)(size_t size, void** block);
    SPErr (*FreeBlock)(void* block);
    SPErr (*ReallocateBlock)(void* block, size_t newSize, void** newBlock);
    SPErr (*Undefined)();
};

constexpr const char* kSPBasicSuite = "SP Basic Suite";
constexpr const char* kPSBufferSuite = "Photoshop Buffer Suite for Plug-ins";
constexpr const char* kPSPropertySuite = "Photoshop Property Suite for Plug-ins";
constexpr const char* kPSErrorSuite = "Photoshop Error Suite for Plug-ins";
constexpr const char* kPSHandleSuite = "Photoshop Handle Suite for Plug-ins";
constexpr const char* kPSDescriptorRegistrySuite = "61e608b0-40fd-11d1-8da3-00c04fd5f7ee";
constexpr const char* kPSActionDescriptorSuite = "df135115-c769-11d0-8079-00c04fd7ec47";

// Buffer suite, version 1 (every host that has the suite serves this one).
struct PSBufferSuite1
{
    Ptr (*New)(uint32* requestedSize, uint32 minimumSize);
    void (*Dispose)(Ptr* buffer);
    uint32 (*GetSize)(Ptr buffer);
    uint32 (*GetSpace)();
};

struct PSBufferSuite2
{
    Ptr (*New)(uint32* requestedSize, uint32 minimumSize);
    void (*Dispose)(Ptr* buffer);
    uint32 (*GetSize)(Ptr buffer);
    uint32 (*GetSpace)();
    Ptr (*New64)(uint64* requestedSize, uint64 minimumSize);
    uint64 (*GetSize64)(Ptr buffer);
    uint64 (*GetSpace64)();
};

// Error suite: acquired and released only; its procedures are never called.
struct PSErrorSuite1
{
    SPErr (*SetErrorFromPString)(const unsigned char* errorString);
    SPErr (*SetErrorFromCString)(const char* errorString);
    SPErr (*SetErrorFromZString)(ASZString errorString);
};

struct PSHandleSuite1
{
    Handle (*New)(int32 size);
    void (*Dispose)(Handle h);
    void (*SetLock)(Handle h, Boolean lock, Ptr* address, Boolean* oldLock);
    int32 (*GetSize)(Handle h);
    OSErr (*SetSize)(Handle h, int32 newSize);
    void (*RecoverSpace)(int32 size);
};

struct PSHandleSuite2
{
    Handle (*New)(int32 size);
    void (*Dispose)(Handle h);
    void (*DisposeRegularHandle)(Handle h);
    void (*SetLock)(Handle h, Boolean lock, Ptr* address, Boolean* oldLock);
    int32 (*GetSize)(Handle h);
    OSErr (*SetSize)(Handle h, int32 newSize);
    void (*RecoverSpace)(int32 size);
};

// Descriptor registry: note that its procedures return OSErr, not SPErr.
struct PSDescriptorRegistryProcs
{
    OSErr (*Register)(const char* key, PIActionDescriptor descriptor, Boolean isPersistent);
    OSErr (*Erase)(const char* key);
    OSErr (*Get)(const char* key, PIActionDescriptor* descriptor);
};

using DescriptorKeyIDArray = DescriptorKeyID*;
using CFDataRef = void*;

// Action descriptor suite; version 2 ends after GetData, version 3 after GetInteger64.
struct PSActionDescriptorProcs
{
    OSErr (*Make)(PIActionDescriptor* descriptor);
    OSErr (*Free)(PIActionDescriptor descriptor);
    OSErr (*GetType)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorTypeID* type);
    OSErr (*GetKey)(PIActionDescriptor descriptor, uint32 index, DescriptorKeyID* key);
    OSErr (*HasKey)(PIActionDescriptor descriptor, DescriptorKeyID key, Boolean* hasKey);
    OSErr (*GetCount)(PIActionDescriptor descriptor, uint32* count);
    OSErr (*IsEqual)(PIActionDescriptor descriptor, PIActionDescriptor other, Boolean* isEqual);
    OSErr (*Erase)(PIActionDescriptor descriptor, DescriptorKeyID key);
    OSErr (*Clear)(PIActionDescriptor descriptor);
    OSErr (*PutInteger)(PIActionDescriptor descriptor, DescriptorKeyID key, int32 value);
    OSErr (*PutFloat)(PIActionDescriptor descriptor, DescriptorKeyID key, double value);
    OSErr (*PutUnitFloat)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorUnitID unit, double value);
    OSErr (*PutString)(PIActionDescriptor descriptor, DescriptorKeyID key, const char* value);
    OSErr (*PutBoolean)(PIActionDescriptor descriptor, DescriptorKeyID key, Boolean value);
    OSErr (*PutList)(PIActionDescriptor descriptor, DescriptorKeyID key, PIActionList value);
    OSErr (*PutObject)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorClassID type,
                       PIActionDescriptor value);
    OSErr (*PutGlobalObject)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorClassID type,
                             PIActionDescriptor value);
    OSErr (*PutEnumerated)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorEnumTypeID type,
                           DescriptorEnumID value);
    OSErr (*PutReference)(PIActionDescriptor descriptor, DescriptorKeyID key, PIActionReference value);
    OSErr (*PutClass)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorClassID value);
    OSErr (*PutGlobalClass)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorClassID value);
    OSErr (*PutAlias)(PIActionDescriptor descriptor, DescriptorKeyID key, Handle value);
    OSErr (*GetInteger)(PIActionDescriptor descriptor, DescriptorKeyID key, int32* value);
    OSErr (*GetFloat)(PIActionDescriptor descriptor, DescriptorKeyID key, double* value);
    OSErr (*GetUnitFloat)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorUnitID* unit, double* value);
    OSErr (*GetStringLength)(PIActionDescriptor descriptor, DescriptorKeyID key, uint32* stringLength);
    OSErr (*GetString)(PIActionDescriptor descriptor, DescriptorKeyID key, char* value, uint32 maxLength);
    OSErr (*GetBoolean)(PIActionDescriptor descriptor, DescriptorKeyID key, Boolean* value);
    OSErr (*GetList)(PIActionDescriptor descriptor, DescriptorKeyID key, PIActionList* value);
    OSErr (*GetObject)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorClassID* type,
                       PIActionDescriptor* value);
    OSErr (*GetGlobalObject)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorClassID* type,
                             PIActionDescriptor* value);
    OSErr (*GetEnumerated)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorEnumTypeID* type,
                           DescriptorEnumID* value);
    OSErr (*GetReference)(PIActionDescriptor descriptor, DescriptorKeyID key, PIActionReference* value);
    OSErr (*GetClass)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorClassID* value);
    OSErr (*GetGlobalClass)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorClassID* value);
    OSErr (*GetAlias)(PIActionDescriptor descriptor, DescriptorKeyID key, Handle* value);
    OSErr (*HasKeys)(PIActionDescriptor descriptor, DescriptorKeyIDArray requiredKeys, Boolean* hasKeys);
    OSErr (*PutIntegers)(PIActionDescriptor descriptor, DescriptorKeyID key, uint32 count, const int32* values);
    OSErr (*GetIntegers)(PIActionDescriptor descriptor, DescriptorKeyID key, uint32 count, int32* values);
    OSErr (*AsHandle)(PIActionDescriptor descriptor, PIDescriptorHandle* value);
    OSErr (*HandleToDescriptor)(PIDescriptorHandle value, PIActionDescriptor* descriptor);
    OSErr (*PutZString)(PIActionDescriptor descriptor, DescriptorKeyID key, ASZString zstring);
    OSErr (*GetZString)(PIActionDescriptor descriptor, DescriptorKeyID key, ASZString* zstring);
    OSErr (*PutData)(PIActionDescriptor descriptor, DescriptorKeyID key, int32 length, void* value);
    OSErr (*GetDataLength)(PIActionDescriptor descriptor, DescriptorKeyID key, int32* value);
    OSErr (*GetData)(PIActionDescriptor descriptor, DescriptorKeyID key, void* value);
    OSErr (*PutInteger64)(PIActionDescriptor descriptor, DescriptorKeyID key, int64 value);
    OSErr (*GetInteger64)(PIActionDescriptor descriptor, DescriptorKeyID key, int64* value);
    OSErr (*MakeWithClass)(DescriptorClassID value, PIActionDescriptor* descriptor);
    OSErr (*GetDescriptorClass)(PIActionDescriptor descriptor, DescriptorClassID* value);
    OSErr (*Copy)(PIActionDescriptor descriptor, PIActionDescriptor* copy);
    OSErr (*PutBookmark)(PIActionDescriptor descriptor, DescriptorKeyID key, CFDataRef value);
    OSErr (*GetBookmark)(PIActionDescriptor descriptor, DescriptorKeyID key, CFDataRef* value);
};

// The table length a host of each version provides.
constexpr size_t kActionDescriptorProcsSizeV2 = 368;
constexpr size_t kActionDescriptorProcsSizeV3 = 384;

// The x64 layout hosts use: a field at the wrong offset reads garbage from a real host.
static_assert(sizeof(SPBasicSuite) == 56 && sizeof(PSBufferSuite1) == 32 && sizeof(PSBufferSuite2) == 56);
static_assert(sizeof(PSHandleSuite1) == 48 && sizeof(PSHandleSuite2) == 56);
static_assert(sizeof(PSDescriptorRegistryProcs) == 24 && sizeof(PSActionDescriptorProcs) == 424);
static_assert(offsetof(SPBasicSuite, ReleaseSuite) == 8);
static_assert(offsetof(PSBufferSuite1, Dispose) == 8);
static_assert(offsetof(PSDescriptorRegistryProcs, Erase) == 8);
static_assert(offsetof(PSDescriptorRegistryProcs, Get) == 16);
static_assert(offsetof(PSActionDescriptorProcs, Free) == 8);
static_assert(offsetof(PSActionDescriptorProcs, PutData) == 344);
static_assert(offsetof(PSActionDescriptorProcs, GetDataLength) == 352);
static_assert(offsetof(PSActionDescriptorProcs, GetData) == 360);
static_assert(offsetof(PSActionDescriptorProcs, PutInteger64) == kActionDescriptorProcsSizeV2);
static_assert(offsetof(PSActionDescriptorProcs, MakeWithClass) == kActionDescriptorProcsSizeV3);
