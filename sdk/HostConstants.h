// Selectors, result codes, image modes and four-character codes of the host interface.
#pragma once

#include "sdk/HostTypes.h"

// Selectors.
constexpr int16 filterSelectorAbout = 0;
constexpr int16 filterSelectorParameters = 1;
constexpr int16 filterSelectorPrepare = 2;
constexpr int16 filterSelectorStart = 3;
constexpr int16 filterSelectorContinue = 4;
constexpr int16 filterSelectorFinish = 5;

// Result codes.
constexpr OSErr noErr = 0;
constexpr OSErr readErr = -19;
constexpr OSErr paramErr = -50;
constexpr OSErr memFullErr = -108;
constexpr OSErr nilHandleErr = -109;
constexpr OSErr userCanceledErr = -128;
constexpr OSErr filterBadParameters = -30100;
constexpr OSErr filterBadMode = -30101;
constexpr OSErr errPlugInHostInsufficient = -30900;
constexpr OSErr errPlugInPropertyUndefined = -30901;
constexpr OSErr errReportString = -30904;
constexpr OSErr errHostVersionIncompatible = -30905;

// PICA errors (32-bit).
constexpr SPErr kSPNoError = 0;
constexpr SPErr kSPSuiteNotFoundError = 0x53214664; // 'S!Fd'
constexpr SPErr kSPBadParameterError = 0x5061726D;  // 'Parm'
constexpr SPErr kSPOutOfMemoryError = -148;

// Image modes.
constexpr int16 plugInModeBitmap = 0;
constexpr int16 plugInModeGrayScale = 1;
constexpr int16 plugInModeIndexedColor = 2;
constexpr int16 plugInModeRGBColor = 3;
constexpr int16 plugInModeCMYKColor = 4;
constexpr int16 plugInModeHSLColor = 5;
constexpr int16 plugInModeHSBColor = 6;
constexpr int16 plugInModeMultichannel = 7;
constexpr int16 plugInModeDuotone = 8;
constexpr int16 plugInModeLabColor = 9;
constexpr int16 plugInModeGray16 = 10;
constexpr int16 plugInModeRGB48 = 11;
constexpr int16 plugInModeLab48 = 12;
constexpr int16 plugInModeCMYK64 = 13;
constexpr int16 plugInModeDeepMultichannel = 14;
constexpr int16 plugInModeDuotone16 = 15;
constexpr int16 plugInModeRGB96 = 16;
constexpr int16 plugInModeGray32 = 17;

// Scripting dialog options (playInfo / recordInfo).
constexpr int16 plugInDialogDontDisplay = 0;
constexpr int16 plugInDialogDisplay = 1;
constexpr int16 plugInDialogSilent = 2;
constexpr int16 plugInDialogOptional = 0;
constexpr int16 plugInDialogRequired = 1;
constexpr int16 plugInDialogNone = 2;

// Padding values.
constexpr int16 plugInWantsEdgeReplication = -1;
constexpr int16 plugInDoesNotWantPadding = -2;
constexpr int16 plugInWantsErrorOnBoundsException = -3;

// Four-character codes.
constexpr OSType kPhotoshopSignature = FourCC("8BIM");
constexpr OSType kFilterKind = FourCC("8BFM");
constexpr DescriptorTypeID typeFloat = FourCC("doub");
constexpr DescriptorTypeID typeInteger = FourCC("long");
constexpr DescriptorTypeID typeBoolean = FourCC("bool");
constexpr DescriptorTypeID typeImageReference = FourCC("#ImR");
constexpr DescriptorTypeID typeNull = FourCC("null");
constexpr DescriptorTypeID typeUnitFloat = FourCC("UntF");
constexpr DescriptorTypeID typeRawData = FourCC("tdta");
constexpr DescriptorUnitID unitPercent = FourCC("#Prc");
constexpr DescriptorUnitID unitAngle = FourCC("#Ang");
constexpr DescriptorUnitID unitPixels = FourCC("#Pxl");
constexpr DescriptorUnitID unitNone = FourCC("#Nne");
constexpr PIType propWatchSuspension = FourCC("wtch");

// Fixed-point 1.0.
constexpr Fixed kFixedOne = 0x10000;

// Flags returned by getKeyProc.
constexpr int32 actionSimpleParameter = 0x00000000;
constexpr int32 actionOptionalParameter = 0x00008000;
