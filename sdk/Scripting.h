// Scripting descriptors: the read and write procedures the host hands in with the filter record
// (natural alignment).
#pragma once

#include "sdk/HostTypes.h"

struct PIDescriptorSimpleReference
{
    DescriptorTypeID desiredClass;
    DescriptorKeyID keyForm;
    struct
    {
        Str255 name;
        int32 index;
        DescriptorTypeID type;
        DescriptorEnumID value;
    } keyData;
};

struct ReadDescriptorProcs
{
    int16 readDescriptorProcsVersion;
    int16 numReadDescriptorProcs;
    PIReadDescriptor (*openReadDescriptorProc)(PIDescriptorHandle descriptor, DescriptorKeyID keyArray[]);
    OSErr (*closeReadDescriptorProc)(PIReadDescriptor token);
    Boolean (*getKeyProc)(PIReadDescriptor token, DescriptorKeyID* key, DescriptorTypeID* type, int32* flags);
    OSErr (*getIntegerProc)(PIReadDescriptor token, int32* value);
    OSErr (*getFloatProc)(PIReadDescriptor token, double* value);
    OSErr (*getUnitFloatProc)(PIReadDescriptor token, DescriptorUnitID* unit, double* value);
    OSErr (*getBooleanProc)(PIReadDescriptor token, Boolean* value);
    OSErr (*getTextProc)(PIReadDescriptor token, Handle* value);
    OSErr (*getAliasProc)(PIReadDescriptor token, Handle* value);
    OSErr (*getEnumeratedProc)(PIReadDescriptor token, DescriptorEnumID* value);
    OSErr (*getClassProc)(PIReadDescriptor token, DescriptorTypeID* value);
    OSErr (*getSimpleReferenceProc)(PIReadDescriptor token, PIDescriptorSimpleReference* value);
    OSErr (*getObjectProc)(PIReadDescriptor token, DescriptorTypeID* type, PIDescriptorHandle* value);
    OSErr (*getCountProc)(PIReadDescriptor token, uint32* value);
    OSErr (*getStringProc)(PIReadDescriptor token, Str255* value);
    OSErr (*getPinnedIntegerProc)(PIReadDescriptor token, int32 min, int32 max, int32* value);
    OSErr (*getPinnedFloatProc)(PIReadDescriptor token, const double* min, const double* max, double* value);
    OSErr (*getPinnedUnitFloatProc)(PIReadDescriptor token, const double* min, const double* max,
                                    DescriptorUnitID* unit, double* value);
};

struct WriteDescriptorProcs
{
    int16 writeDescriptorProcsVersion;
    int16 numWriteDescriptorProcs;
    PIWriteDescriptor (*openWriteDescriptorProc)();
    OSErr (*closeWriteDescriptorProc)(PIWriteDescriptor token, PIDescriptorHandle* newDescriptor);
    OSErr (*putIntegerProc)(PIWriteDescriptor token, DescriptorKeyID key, int32 value);
    OSErr (*putFloatProc)(PIWriteDescriptor token, DescriptorKeyID key, const double* value);
    OSErr (*putUnitFloatProc)(PIWriteDescriptor token, DescriptorKeyID key, DescriptorUnitID unit,
                              const double* value);
    OSErr (*putBooleanProc)(PIWriteDescriptor token, DescriptorKeyID key, Boolean value);
    OSErr (*putTextProc)(PIWriteDescriptor token, DescriptorKeyID key, Handle value);
    OSErr (*putAliasProc)(PIWriteDescriptor token, DescriptorKeyID key, Handle value);
    OSErr (*putEnumeratedProc)(PIWriteDescriptor token, DescriptorKeyID key, DescriptorTypeID type,
                               DescriptorEnumID value);
    OSErr (*putClassProc)(PIWriteDescriptor token, DescriptorKeyID key, DescriptorTypeID value);
    OSErr (*putSimpleReferenceProc)(PIWriteDescriptor token, DescriptorKeyID key,
                                    const PIDescriptorSimpleReference* value);
    OSErr (*putObjectProc)(PIWriteDescriptor token, DescriptorKeyID key, DescriptorTypeID type,
                           PIDescriptorHandle value);
    OSErr (*putCountProc)(PIWriteDescriptor token, DescriptorKeyID key, uint32 count);
    OSErr (*putStringProc)(PIWriteDescriptor token, DescriptorKeyID key, const unsigned char* pascalString);
    OSErr (*putScopedClassProc)(PIWriteDescriptor token, DescriptorKeyID key, DescriptorTypeID value);
    OSErr (*putScopedObjectProc)(PIWriteDescriptor token, DescriptorKeyID key, DescriptorTypeID type,
                                 PIDescriptorHandle value);
};

struct PIDescriptorParameters
{
    int16 descriptorParametersVersion;
    int16 playInfo;
    int16 recordInfo;
    PIDescriptorHandle descriptor;
    WriteDescriptorProcs* writeDescriptorProcs;
    ReadDescriptorProcs* readDescriptorProcs;
};

constexpr int16 kCurrentDescriptorParametersVersion = 0;
constexpr int16 kCurrentReadDescriptorProcsVersion = 0;
constexpr int16 kCurrentReadDescriptorProcsCount = 18;
constexpr int16 kCurrentWriteDescriptorProcsVersion = 0;
constexpr int16 kCurrentWriteDescriptorProcsCount = 16;

// The x64 layout hosts use: a field at the wrong offset reads garbage from a real host.
static_assert(sizeof(PIDescriptorParameters) == 32 && sizeof(PIDescriptorSimpleReference) == 276);
static_assert(sizeof(ReadDescriptorProcs) == 152 && sizeof(WriteDescriptorProcs) == 136);
static_assert(offsetof(PIDescriptorParameters, playInfo) == 2);
static_assert(offsetof(PIDescriptorParameters, recordInfo) == 4);
static_assert(offsetof(PIDescriptorParameters, descriptor) == 8);
static_assert(offsetof(PIDescriptorParameters, writeDescriptorProcs) == 16);
static_assert(offsetof(PIDescriptorParameters, readDescriptorProcs) == 24);
static_assert(offsetof(ReadDescriptorProcs, openReadDescriptorProc) == 8);
static_assert(offsetof(ReadDescriptorProcs, closeReadDescriptorProc) == 16);
static_assert(offsetof(ReadDescriptorProcs, getKeyProc) == 24);
static_assert(offsetof(ReadDescriptorProcs, getIntegerProc) == 32);
static_assert(offsetof(ReadDescriptorProcs, getUnitFloatProc) == 48);
static_assert(offsetof(ReadDescriptorProcs, getBooleanProc) == 56);
static_assert(offsetof(ReadDescriptorProcs, getPinnedUnitFloatProc) == 144);
static_assert(offsetof(WriteDescriptorProcs, openWriteDescriptorProc) == 8);
static_assert(offsetof(WriteDescriptorProcs, closeWriteDescriptorProc) == 16);
static_assert(offsetof(WriteDescriptorProcs, putIntegerProc) == 24);
static_assert(offsetof(WriteDescriptorProcs, putUnitFloatProc) == 40);
static_assert(offsetof(WriteDescriptorProcs, putBooleanProc) == 48);
static_assert(offsetof(WriteDescriptorProcs, putScopedObjectProc) == 128);
