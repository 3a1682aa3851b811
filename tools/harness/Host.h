// A host for filter modules: it owns the filter record and every service a module may call, runs the
// selectors the way hosts do, serves image data through advanceState, records what the module asked
// for, and can be told to misbehave (refuse memory, fail a transfer, abort, leave out a service).
//
//   HostOptions options;
//   options.logCalls = true;                    // to see Transfers() afterwards
//   Host host(PluginMain, options);             // natively; on Windows an entry from LoadModule()
//   host.SetDocument(HostDocument(640, 480, plugInModeRGBColor));
//   OSErr result = host.RunInteractive();       // Parameters, Prepare, Start, Continue..., Finish
//   EXPECT_EQ(host.Transfers()[0].inLoPlane, 0);
//
// Callbacks carry no context, so the host's state is process-wide: only one Host may exist at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/HostRects.h"
#include "sdk/HostInterface.h"
#include "tools/harness/DialogAnswer.h"
#include "tools/harness/HostDescriptor.h"
#include "tools/harness/HostDocument.h"

enum class HostFlavor
{
    Standard,    // behaves as documented for the reference host
    Independent, // 'spHO': see HostOptions::Independent()
};

struct HostOptions
{
    HostFlavor flavor = HostFlavor::Standard;
    OSType hostSig = kPhotoshopSignature;
    // Bytes of filter record the host allocates; kMinimalFilterRecordSize gives a record that ends after
    // canUseICCProfiles, allocated at exactly that size so that reading beyond it is caught.
    size_t recordSize = sizeof(FilterRecord);

    // Services the host provides.
    bool basicSuite = true; // sSPBasic; without it no suite at all
    bool bufferSuite = true;
    bool propertySuite = true;
    bool errorSuite = true;
    bool handleSuite = true;
    bool descriptorRegistry = true;
    int32_t actionDescriptorVersion = 3; // highest version served (2 or 3); 0 = suite absent
    bool descriptorParameters = true;
    bool bigDocumentData = true; // ignored when the record is too short to hold the pointer
    bool advanceState = true;
    bool propertyProcs = true; // the filter record's propertyProcs
    bool bufferProcs = true;
    int16 numBufferProcs = kCurrentBufferProcsCount; // 5 for older hosts
    bool parametersEveryRun = false;                 // send Parameters also on repeat and scripted runs
    DialogAnswer dialogAnswer = DialogAnswer::Ok;    // how the module's dialog is answered during Start

    // Image transfer.
    int16 tileWidth = 0;     // reported as inTileWidth (and the out and mask tile sizes); 0 = none
    int16 tileHeight = 0;    // reported as inTileHeight; 0 = none
    int32_t rowPadding = 12; // bytes after each row, so that a module assuming tight rows is caught
    int32_t maxSpace = 256 * 1024 * 1024;
    intptr_t parentWindow = 0;          // platformData's window
    int32_t maxContinueCalls = 1000000; // the host's Continue loop stops (with a fault) after this many

    // Failure injection, counted over the life of the Host. The ...BeforeRefusal counts are the
    // allocations that succeed first (-1: all of them); the call numbers are 1-based (0: never).
    int32_t handlesBeforeRefusal = -1;     // newProc succeeds this many times, then returns null
    int32_t bufferProcsBeforeRefusal = -1; // bufferProcs->allocateProc, likewise (returns memFullErr)
    int32_t bufferSuiteBeforeRefusal = -1; // Buffer suite New, likewise (returns null)
    int32_t failAdvanceStateAt = 0;        // this advanceState call (and every later one) fails...
    OSErr advanceStateError = readErr;     // ...with this code
    int32_t abortAt = 0;                   // abortProc returns true from this call on; advanceState then
                                           // returns userCanceledErr as a host does after a cancel

    // The file the persistent descriptor registry lives in; empty keeps it in memory for this Host only.
    std::string registryPath;

    // Keep every transfer and progress call for Transfers() and ProgressCalls(). For tests: a long run
    // with small tiles makes millions of them.
    bool logCalls = false;

    // The independent host 'spHO': it serves every plane request from channel 0 onwards (it ignores
    // inLoPlane and outLoPlane), reloads its buffers only when a rectangle changes, delivers several
    // planes interleaved but leaves inColumnBytes and outColumnBytes 0, has no sSPBasic, no descriptor
    // parameters and no bigDocumentData, sends Parameters on every run, takes 8-bit documents only, has
    // handles whose getSize reads 0 and whose setSize does nothing, and a property getter that reports
    // success without writing anything.
    static HostOptions Independent();
};

// One advanceState call (or one load the host made itself before a Continue).
struct TransferRequest
{
    int32_t call;       // 1-based count of the module's advanceState calls; 0 for the host's own loads
    bool coordinates32; // the rectangles were taken from bigDocumentData
    ImageRect inRect, outRect, maskRect;
    int16 inLoPlane, inHiPlane, outLoPlane, outHiPlane;
    Fixed inputRate;
    int16 inputPadding;
    OSErr result;
    bool reloaded; // false when the host kept its buffers (independent host, same rectangles)
};

struct ProgressCall
{
    int32_t done;
    int32_t total;
};

struct PropertyCall
{
    PIType signature;
    PIType key;
    int32_t index;
    intptr_t simple;
    bool hasComplex;
};

class Host
{
public:
    explicit Host(PluginEntryProc entry, const HostOptions& options = HostOptions());
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    const HostOptions& Options() const;

    // The document the runs work on (copied). False when the host cannot take it (independent host
    // and a document deeper than 8 bits, or an invalid document).
    bool SetDocument(const HostDocument& document);
    HostDocument& Document();
    const HostDocument& Document() const;

    // Runs as hosts do. After Start, the host calls Continue while any requested rectangle is non-empty,
    // loading the buffers for those rectangles first; Finish follows whenever Start succeeded. The result
    // is the first non-zero result code, or 0.
    OSErr RunInteractive();            // Parameters, Prepare, Start, Continue..., Finish; no descriptor handed in
    OSErr RunRepeat();                 // the same without Parameters (unless the host sends it every run)
    OSErr RunScripted(int16 playInfo); // as RunRepeat, handing in the descriptor from SetDescriptor

    // One call of the entry point with the record as it stands (selector 0 gets an AboutRecord).
    OSErr CallSelector(int16 selector);
    // Fills the record for a new run as the host does; the Run routines do this themselves.
    void ResetRecord();
    // The selectors called so far, in order.
    const std::vector<int16>& Selectors() const;

    // The record; only the first Options().recordSize bytes exist.
    FilterRecord* Record();
    BigDocumentStruct* BigDocument();               // null when the host does not provide it
    PIDescriptorParameters* DescriptorParameters(); // null when the host does not provide them
    AboutRecord* About();

    // The two handles the host keeps for the module between runs.
    intptr_t& DataSlot();
    std::vector<uint8_t> ParametersBytes() const;             // empty when there is no parameters handle
    std::vector<uint8_t> DataBytes() const;                   // empty when the data slot holds no handle
    void SetParametersBytes(const void* bytes, int32_t size); // replaces (or creates) the handle

    // Scripting.
    void SetDescriptor(const Descriptor& descriptor); // handed in at the next RunScripted
    void ClearDescriptor();
    const Descriptor& RecordedDescriptor() const;
    int16 RecordInfo() const; // recordInfo as the module left it

    // The descriptor registry (persistent entries also go to Options().registryPath).
    // Raw data stored under `dataKey` of the descriptor registered as `key`.
    bool GetRegisteredData(const std::string& key, DescriptorKeyID dataKey, std::vector<uint8_t>* data) const;
    void RegisterData(const std::string& key, DescriptorKeyID dataKey, const void* data, int32_t length,
                      bool persistent);

    // What happened. Transfers and progress calls only with Options().logCalls.
    const std::vector<TransferRequest>& Transfers() const;
    int32_t AdvanceStateCalls() const;
    const std::vector<ProgressCall>& ProgressCalls() const;
    int32_t AbortCalls() const;
    const std::vector<PropertyCall>& PropertySets() const;
    int32_t SuiteBalance(const std::string& name) const; // acquisitions minus releases
    int32_t SuiteAcquisitions(const std::string& name) const;
    int32_t LiveHandles() const;           // host handles not yet disposed (the kept handles included)
    int32_t LiveBuffers() const;           // bufferProcs buffers and Buffer suite blocks not yet freed
    int32_t LiveActionDescriptors() const; // action descriptors not yet freed
    // Misuse the host noticed: unknown or twice-freed handles and buffers, bad planes, runaway loops.
    const std::vector<std::string>& Faults() const;
    // The registry file could not be read (it was ignored) or written (the entries live on in memory
    // only): each trouble once, in words for the person running the host. Not the module's doing.
    const std::vector<std::string>& RegistryFileProblems() const;
    void ClearLog(); // forgets selectors, transfers, progress, property calls and faults

    struct State;

private:
    std::unique_ptr<State> state_;
};
