// The declarations must lay every record out exactly as x64 hosts do; a field at the wrong offset
// reads garbage from a real host. Offsets are those of the published x64 layout.
#include "sdk/HostInterface.h"

#include <gtest/gtest.h>

#include <cstddef>

#define EXPECT_FIELD(type, field, offset) EXPECT_EQ(offsetof(type, field), size_t(offset)) << #type "::" #field

TEST(HostLayout, FourCharacterCodesReadBigEndian)
{
    EXPECT_EQ(FourCC("8BIM"), 0x3842494Du);
    EXPECT_EQ(FourCC("#Prc"), 0x23507263u);
    EXPECT_EQ(FourCC("#Ang"), 0x23416E67u);
    EXPECT_EQ(FourCC("wtch"), 0x77746368u);
}

TEST(HostLayout, FilterRecordUsesFourBytePackingThroughout)
{
    EXPECT_EQ(sizeof(FilterRecord), 608u);
    EXPECT_EQ(alignof(FilterRecord), 4u);
    EXPECT_FIELD(FilterRecord, serialNumber, 0);
    EXPECT_FIELD(FilterRecord, abortProc, 4);
    EXPECT_FIELD(FilterRecord, progressProc, 12);
    EXPECT_FIELD(FilterRecord, parameters, 20);
    EXPECT_FIELD(FilterRecord, imageSize, 28);
    EXPECT_FIELD(FilterRecord, planes, 32);
    EXPECT_FIELD(FilterRecord, filterRect, 34);
    EXPECT_FIELD(FilterRecord, background, 42);
    EXPECT_FIELD(FilterRecord, foreground, 48);
    EXPECT_FIELD(FilterRecord, maxSpace, 56);
    EXPECT_FIELD(FilterRecord, bufferSpace, 60);
    EXPECT_FIELD(FilterRecord, inRect, 64);
    EXPECT_FIELD(FilterRecord, inLoPlane, 72);
    EXPECT_FIELD(FilterRecord, inHiPlane, 74);
    EXPECT_FIELD(FilterRecord, outRect, 76);
    EXPECT_FIELD(FilterRecord, outLoPlane, 84);
    EXPECT_FIELD(FilterRecord, outHiPlane, 86);
    EXPECT_FIELD(FilterRecord, inData, 88);
    EXPECT_FIELD(FilterRecord, inRowBytes, 96);
    EXPECT_FIELD(FilterRecord, outData, 100);
    EXPECT_FIELD(FilterRecord, outRowBytes, 108);
    EXPECT_FIELD(FilterRecord, isFloating, 112);
    EXPECT_FIELD(FilterRecord, haveMask, 113);
    EXPECT_FIELD(FilterRecord, autoMask, 114);
    EXPECT_FIELD(FilterRecord, maskRect, 116);
    EXPECT_FIELD(FilterRecord, maskData, 124);
    EXPECT_FIELD(FilterRecord, maskRowBytes, 132);
    EXPECT_FIELD(FilterRecord, hostSig, 144);
    EXPECT_FIELD(FilterRecord, hostProc, 148);
    EXPECT_FIELD(FilterRecord, imageMode, 156);
    EXPECT_FIELD(FilterRecord, imageHRes, 160);
    EXPECT_FIELD(FilterRecord, monitor, 176);
    EXPECT_FIELD(FilterRecord, platformData, 216);
    EXPECT_FIELD(FilterRecord, bufferProcs, 224);
    EXPECT_FIELD(FilterRecord, resourceProcs, 232);
    EXPECT_FIELD(FilterRecord, handleProcs, 256);
    EXPECT_FIELD(FilterRecord, supportsDummyChannels, 264);
    EXPECT_FIELD(FilterRecord, wantLayout, 266);
    EXPECT_FIELD(FilterRecord, filterCase, 268);
    EXPECT_FIELD(FilterRecord, premiereHook, 272);
    EXPECT_FIELD(FilterRecord, advanceState, 280);
    EXPECT_FIELD(FilterRecord, supportsAbsolute, 288);
    EXPECT_FIELD(FilterRecord, getPropertyObsolete, 292);
    EXPECT_FIELD(FilterRecord, supportsPadding, 301);
    EXPECT_FIELD(FilterRecord, inputPadding, 302);
    EXPECT_FIELD(FilterRecord, outputPadding, 304);
    EXPECT_FIELD(FilterRecord, maskPadding, 306);
    EXPECT_FIELD(FilterRecord, samplingSupport, 308);
    EXPECT_FIELD(FilterRecord, inputRate, 312);
    EXPECT_FIELD(FilterRecord, maskRate, 316);
    EXPECT_FIELD(FilterRecord, colorServices, 320);
    EXPECT_FIELD(FilterRecord, inLayerPlanes, 328);
    EXPECT_FIELD(FilterRecord, inTransparencyMask, 330);
    EXPECT_FIELD(FilterRecord, inLayerMasks, 332);
    EXPECT_FIELD(FilterRecord, inInvertedLayerMasks, 334);
    EXPECT_FIELD(FilterRecord, inNonLayerPlanes, 336);
    EXPECT_FIELD(FilterRecord, outLayerPlanes, 338);
    EXPECT_FIELD(FilterRecord, outPostDummyPlanes, 364);
    EXPECT_FIELD(FilterRecord, inColumnBytes, 368);
    EXPECT_FIELD(FilterRecord, inPlaneBytes, 372);
    EXPECT_FIELD(FilterRecord, outColumnBytes, 376);
    EXPECT_FIELD(FilterRecord, outPlaneBytes, 380);
    EXPECT_FIELD(FilterRecord, imageServicesProcs, 384);
    EXPECT_FIELD(FilterRecord, propertyProcs, 392);
    EXPECT_FIELD(FilterRecord, inTileHeight, 400);
    EXPECT_FIELD(FilterRecord, inTileWidth, 402);
    EXPECT_FIELD(FilterRecord, inTileOrigin, 404);
    EXPECT_FIELD(FilterRecord, outTileHeight, 416);
    EXPECT_FIELD(FilterRecord, maskTileHeight, 424);
    EXPECT_FIELD(FilterRecord, descriptorParameters, 432);
    EXPECT_FIELD(FilterRecord, errorString, 440);
    EXPECT_FIELD(FilterRecord, channelPortProcs, 448);
    EXPECT_FIELD(FilterRecord, documentInfo, 456);
    EXPECT_FIELD(FilterRecord, sSPBasic, 464);
    EXPECT_FIELD(FilterRecord, plugInRef, 472);
    EXPECT_FIELD(FilterRecord, depth, 480);
    EXPECT_FIELD(FilterRecord, iCCprofileData, 484);
    EXPECT_FIELD(FilterRecord, iCCprofileSize, 492);
    EXPECT_FIELD(FilterRecord, canUseICCProfiles, 496);
    EXPECT_FIELD(FilterRecord, hasImageScrap, 500);
    EXPECT_FIELD(FilterRecord, bigDocumentData, 504);
    EXPECT_FIELD(FilterRecord, input3DScene, 512);
    EXPECT_FIELD(FilterRecord, output3DScene, 520);
    EXPECT_FIELD(FilterRecord, createNewLayer, 528);
    EXPECT_FIELD(FilterRecord, iCCWorkingProfileData, 532);
    EXPECT_FIELD(FilterRecord, iCCWorkingProfileSize, 540);
    EXPECT_FIELD(FilterRecord, bufferSpace64, 544);
    EXPECT_FIELD(FilterRecord, maxSpace64, 552);
    EXPECT_FIELD(FilterRecord, allowOverrangeColors, 560);
}

TEST(HostLayout, BigDocumentAndAboutRecords)
{
    EXPECT_EQ(sizeof(BigDocumentStruct), 92u);
    EXPECT_FIELD(BigDocumentStruct, PluginUsing32BitCoordinates, 0);
    EXPECT_FIELD(BigDocumentStruct, imageSize32, 4);
    EXPECT_FIELD(BigDocumentStruct, filterRect32, 12);
    EXPECT_FIELD(BigDocumentStruct, inRect32, 28);
    EXPECT_FIELD(BigDocumentStruct, outRect32, 44);
    EXPECT_FIELD(BigDocumentStruct, maskRect32, 60);
    EXPECT_FIELD(BigDocumentStruct, floatCoord32, 76);
    EXPECT_FIELD(BigDocumentStruct, wholeSize32, 84);

    EXPECT_EQ(sizeof(AboutRecord), 272u);
    EXPECT_FIELD(AboutRecord, platformData, 0);
    EXPECT_FIELD(AboutRecord, sSPBasic, 8);
    EXPECT_FIELD(AboutRecord, plugInRef, 16);
    EXPECT_EQ(sizeof(PlatformData), 8u);
    EXPECT_EQ(sizeof(FilterCaseInfo), 4u);
}

TEST(HostLayout, CallbackTablesUseNaturalAlignment)
{
    EXPECT_EQ(sizeof(HandleProcs), 72u);
    EXPECT_FIELD(HandleProcs, newProc, 8);
    EXPECT_FIELD(HandleProcs, disposeProc, 16);
    EXPECT_FIELD(HandleProcs, getSizeProc, 24);
    EXPECT_FIELD(HandleProcs, setSizeProc, 32);
    EXPECT_FIELD(HandleProcs, lockProc, 40);
    EXPECT_FIELD(HandleProcs, unlockProc, 48);
    EXPECT_FIELD(HandleProcs, disposeRegularHandleProc, 64);

    EXPECT_EQ(sizeof(BufferProcs), 72u);
    EXPECT_FIELD(BufferProcs, allocateProc, 8);
    EXPECT_FIELD(BufferProcs, lockProc, 16);
    EXPECT_FIELD(BufferProcs, unlockProc, 24);
    EXPECT_FIELD(BufferProcs, freeProc, 32);
    EXPECT_FIELD(BufferProcs, spaceProc, 40);
    EXPECT_FIELD(BufferProcs, spaceProc64, 64);

    EXPECT_EQ(sizeof(ResourceProcs), 40u);
    EXPECT_EQ(sizeof(PropertyProcs), 24u);
    EXPECT_FIELD(PropertyProcs, getPropertyProc, 8);
    EXPECT_FIELD(PropertyProcs, setPropertyProc, 16);
    EXPECT_EQ(sizeof(ImageServicesProcs), 56u);
    EXPECT_EQ(sizeof(ChannelPortProcs), 32u);
}

TEST(HostLayout, ScriptingRecords)
{
    EXPECT_EQ(sizeof(PIDescriptorParameters), 32u);
    EXPECT_FIELD(PIDescriptorParameters, playInfo, 2);
    EXPECT_FIELD(PIDescriptorParameters, recordInfo, 4);
    EXPECT_FIELD(PIDescriptorParameters, descriptor, 8);
    EXPECT_FIELD(PIDescriptorParameters, writeDescriptorProcs, 16);
    EXPECT_FIELD(PIDescriptorParameters, readDescriptorProcs, 24);

    EXPECT_EQ(sizeof(ReadDescriptorProcs), 152u);
    EXPECT_FIELD(ReadDescriptorProcs, openReadDescriptorProc, 8);
    EXPECT_FIELD(ReadDescriptorProcs, closeReadDescriptorProc, 16);
    EXPECT_FIELD(ReadDescriptorProcs, getKeyProc, 24);
    EXPECT_FIELD(ReadDescriptorProcs, getIntegerProc, 32);
    EXPECT_FIELD(ReadDescriptorProcs, getUnitFloatProc, 48);
    EXPECT_FIELD(ReadDescriptorProcs, getBooleanProc, 56);
    EXPECT_FIELD(ReadDescriptorProcs, getPinnedUnitFloatProc, 144);

    EXPECT_EQ(sizeof(WriteDescriptorProcs), 136u);
    EXPECT_FIELD(WriteDescriptorProcs, openWriteDescriptorProc, 8);
    EXPECT_FIELD(WriteDescriptorProcs, closeWriteDescriptorProc, 16);
    EXPECT_FIELD(WriteDescriptorProcs, putIntegerProc, 24);
    EXPECT_FIELD(WriteDescriptorProcs, putUnitFloatProc, 40);
    EXPECT_FIELD(WriteDescriptorProcs, putBooleanProc, 48);
    EXPECT_FIELD(WriteDescriptorProcs, putScopedObjectProc, 128);

    EXPECT_EQ(sizeof(PIDescriptorSimpleReference), 276u);
}

TEST(HostLayout, Suites)
{
    EXPECT_EQ(sizeof(SPBasicSuite), 56u);
    EXPECT_FIELD(SPBasicSuite, AcquireSuite, 0);
    EXPECT_FIELD(SPBasicSuite, ReleaseSuite, 8);
    EXPECT_EQ(sizeof(PSBufferSuite1), 32u);
    EXPECT_EQ(sizeof(PSBufferSuite2), 56u);
    EXPECT_FIELD(PSBufferSuite1, New, 0);
    EXPECT_FIELD(PSBufferSuite1, Dispose, 8);
    EXPECT_EQ(sizeof(PSHandleSuite1), 48u);
    EXPECT_EQ(sizeof(PSHandleSuite2), 56u);
    EXPECT_EQ(sizeof(PSDescriptorRegistryProcs), 24u);
    EXPECT_FIELD(PSDescriptorRegistryProcs, Register, 0);
    EXPECT_FIELD(PSDescriptorRegistryProcs, Erase, 8);
    EXPECT_FIELD(PSDescriptorRegistryProcs, Get, 16);

    EXPECT_EQ(sizeof(PSActionDescriptorProcs), 424u);
    EXPECT_FIELD(PSActionDescriptorProcs, Make, 0);
    EXPECT_FIELD(PSActionDescriptorProcs, Free, 8);
    EXPECT_FIELD(PSActionDescriptorProcs, PutData, 344);
    EXPECT_FIELD(PSActionDescriptorProcs, GetDataLength, 352);
    EXPECT_FIELD(PSActionDescriptorProcs, GetData, 360);
    EXPECT_EQ(offsetof(PSActionDescriptorProcs, PutInteger64), kActionDescriptorProcsSizeV2);
    EXPECT_EQ(offsetof(PSActionDescriptorProcs, MakeWithClass), kActionDescriptorProcsSizeV3);
}
