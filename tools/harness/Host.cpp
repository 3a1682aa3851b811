// The host's record, its runs of the selectors and what it shows to tests.
#include "tools/harness/Host.h"

#include <cstdio>
#include <cstring>

#include "tools/harness/HostState.h"

Host::State* gHostState = nullptr;

namespace {

Boolean AbortProc()
{
    Host::State* s = gHostState;
    ++s->abortCalls;
    if (s->options.abortAt > 0 && s->abortCalls >= s->options.abortAt)
        s->aborted = true;
    return s->aborted ? 1 : 0;
}

void ReportProgress(int32 done, int32 total)
{
    if (gHostState->options.logCalls)
        gHostState->progress.push_back(ProgressCall{done, total});
}

int16 Clamp16(int32_t v)
{
    return int16(v < -32768 ? -32768 : (v > 32767 ? 32767 : v));
}

Rect ToRect(const ImageRect& r)
{
    return Rect{Clamp16(r.top), Clamp16(r.left), Clamp16(r.bottom), Clamp16(r.right)};
}

int16 FilterCaseOf(const HostDocument& d)
{
    if (d.HasTransparency())
        return d.HasSelection() ? 5 : 4; // editable transparency
    return d.HasSelection() ? 2 : 1;     // flat image
}

std::vector<uint8_t> HandleBytes(Handle handle)
{
    HostHandleBlock* block = LookUpHostHandle(handle);
    if (block == nullptr)
        return std::vector<uint8_t>();
    return std::vector<uint8_t>(block->data, block->data + block->size);
}

OSErr RunSelectors(Host* host, Host::State* s, bool sendParameters, bool scripted, int16 playInfo)
{
    host->ResetRecord();
    s->aborted = false;
    s->recordedDescriptor.clear();
    if (s->options.descriptorParameters) {
        PIDescriptorParameters& p = s->descriptorParameters;
        p.playInfo = playInfo;
        p.recordInfo = plugInDialogOptional;
        p.descriptor = nullptr;
        if (scripted && s->hasScriptDescriptor) {
            std::vector<uint8_t> bytes;
            SerializeDescriptor(s->scriptDescriptor, &bytes);
            p.descriptor = NewHostHandle(int32_t(bytes.size()));
            std::memcpy(*p.descriptor, bytes.data(), bytes.size());
            s->handedInDescriptor = p.descriptor;
            s->handedInSerial = LookUpHostHandle(p.descriptor)->serial;
        }
    }

    OSErr result = noErr;
    if (sendParameters || s->options.parametersEveryRun)
        result = host->CallSelector(filterSelectorParameters);
    if (result == noErr)
        result = host->CallSelector(filterSelectorPrepare);
    if (result == noErr) {
        const DialogAnswerer answerer(s->options.dialogAnswer);
        result = host->CallSelector(filterSelectorStart);
    }
    bool started = result == noErr;

    // Hosts call Continue as long as the module asks for any area, loading it first.
    int32_t continues = 0;
    while (started && result == noErr && AnyRequestedRect(s)) {
        if (s->aborted) {
            result = userCanceledErr;
            break;
        }
        if (++continues > s->options.maxContinueCalls) {
            s->Fault("the module kept asking for areas after " + std::to_string(s->options.maxContinueCalls) +
                     " Continue calls");
            break;
        }
        result = TransferForHost();
        if (result == noErr)
            result = host->CallSelector(filterSelectorContinue);
    }
    CommitAndReleaseAreas(s, started && result == noErr);

    OSErr finish = noErr;
    if (started)
        finish = host->CallSelector(filterSelectorFinish); // Finish follows every successful Start

    if (s->options.descriptorParameters) {
        PIDescriptorParameters& p = s->descriptorParameters;
        HostHandleBlock* handedIn = LookUpHostHandle(s->handedInDescriptor);
        const bool handedInLives = handedIn != nullptr && handedIn->serial == s->handedInSerial;
        const bool replaced = p.descriptor != nullptr && !(handedInLives && p.descriptor == s->handedInDescriptor);
        if (replaced) {
            HostHandleBlock* block = FindHostHandle(p.descriptor);
            if (block == nullptr || !DeserializeDescriptor(reinterpret_cast<const uint8_t*>(block->data),
                                                           size_t(block->size), &s->recordedDescriptor))
                s->Fault("the descriptor the module left is not one the host made");
            if (block != nullptr)
                DisposeHostHandle(p.descriptor);
        }
        if (handedInLives) {
            if (p.descriptor != s->handedInDescriptor)
                s->Fault("the module let go of the descriptor it was given without disposing of it");
            DisposeHostHandle(s->handedInDescriptor);
        }
        s->recordInfo = p.recordInfo;
        p.descriptor = nullptr;
        s->handedInDescriptor = nullptr;
    }
    return result != noErr ? result : finish;
}

} // namespace

HostOptions HostOptions::Independent()
{
    HostOptions o;
    o.flavor = HostFlavor::Independent;
    o.hostSig = FourCC("spHO");
    o.basicSuite = false;
    o.descriptorParameters = false;
    o.bigDocumentData = false;
    o.parametersEveryRun = true;
    return o;
}

bool Host::State::RecordHas(size_t offset, size_t size) const
{
    // A record that ends after canUseICCProfiles has nothing the host fills beyond it.
    if (offset >= offsetof(FilterRecord, hasImageScrap) && options.recordSize <= kMinimalFilterRecordSize)
        return false;
    return offset + size <= options.recordSize;
}

BigDocumentStruct* Host::State::ProvidedBigDocument() const
{
    return bigDocumentProvided ? const_cast<BigDocumentStruct*>(&bigDocument) : nullptr;
}

Host::Host(PluginEntryProc entry, const HostOptions& options) : state_(new State)
{
    if (gHostState != nullptr) {
        std::fprintf(stderr, "Host: only one host may exist at a time\n");
        std::abort();
    }
    State* s = state_.get();
    gHostState = s;
    s->options = options;
    if (s->options.recordSize < kMinimalFilterRecordSize)
        s->options.recordSize = kMinimalFilterRecordSize;
    if (s->options.recordSize > sizeof(FilterRecord))
        s->options.recordSize = sizeof(FilterRecord);
    s->entry = entry;
    // Exactly the size the host claims, so that a read past its end is caught.
    s->record = static_cast<FilterRecord*>(std::calloc(1, s->options.recordSize));
    InstallMemoryProcs(s);
    InstallSuites(s);
    InstallDescriptorProcs(s);
    LoadRegistryFile(s);
    PIDescriptorParameters& p = s->descriptorParameters;
    p.descriptorParametersVersion = kCurrentDescriptorParametersVersion;
    p.readDescriptorProcs = &s->readProcs;
    p.writeDescriptorProcs = &s->writeProcs;
    ResetRecord();
}

Host::~Host()
{
    State* s = state_.get();
    CommitAndReleaseAreas(s, false);
    ReleaseDescriptorObjects(s);
    ReleaseHostMemory(s);
    for (auto& copy : s->suiteCopies)
        std::free(copy.second);
    std::free(s->record);
    gHostState = nullptr;
}

const HostOptions& Host::Options() const
{
    return state_->options;
}

bool Host::SetDocument(const HostDocument& document)
{
    if (!document.IsValid() || (state_->Independent() && document.BytesPerSample() != 1))
        return false;
    state_->document = document;
    ResetRecord();
    return true;
}

HostDocument& Host::Document()
{
    return state_->document;
}

const HostDocument& Host::Document() const
{
    return state_->document;
}

void Host::ResetRecord()
{
    State* s = state_.get();
    const HostOptions& o = s->options;
    const HostDocument& d = s->document;
    FilterRecord* r = s->record;
    CommitAndReleaseAreas(s, false);
    const Handle parameters = r->parameters; // the host keeps it for the module from run to run
    std::memset(static_cast<void*>(r), 0, o.recordSize);

    const ImageRect filter = d.FilterRect();
    r->abortProc = AbortProc;
    r->progressProc = ReportProgress;
    r->parameters = parameters;
    r->imageSize = Point{Clamp16(d.Height()), Clamp16(d.Width())};
    r->planes = int16(d.PlaneCount());
    r->filterRect = ToRect(filter);
    r->background = PSRGBColor{65535, 65535, 65535};
    r->foreground = PSRGBColor{0, 0, 0};
    r->maxSpace = o.maxSpace;
    r->haveMask = d.HasSelection() ? 1 : 0;
    std::memset(r->backColor, 255, sizeof r->backColor);
    r->hostSig = o.hostSig;
    r->imageMode = d.Mode();
    r->imageHRes = r->imageVRes = 72 * kFixedOne;
    r->wholeSize = r->imageSize;
    r->monitor.gamma = 0x23333; // 2.2
    s->platform.hwnd = o.parentWindow;
    r->platformData = &s->platform;
    r->bufferProcs = o.bufferProcs ? &s->bufferProcs : nullptr;
    r->handleProcs = &s->handleProcs;
    r->filterCase = FilterCaseOf(d);
    r->dummyPlaneValue = -1;
    r->advanceState = o.advanceState ? TransferForModule : nullptr;
    r->getPropertyObsolete = s->propertyProcs.getPropertyProc;
    r->supportsPadding = 1;
    r->inputPadding = r->outputPadding = r->maskPadding = plugInWantsErrorOnBoundsException;
    r->samplingSupport = 1; // whole-number rates
    r->inputRate = r->maskRate = kFixedOne;
    const int16 layerPlanes = int16(d.ColorPlanes());
    const int16 transparency = d.HasTransparency() ? 1 : 0;
    r->inLayerPlanes = r->outLayerPlanes = r->absLayerPlanes = layerPlanes;
    r->inTransparencyMask = r->outTransparencyMask = r->absTransparencyMask = transparency;
    r->propertyProcs = o.propertyProcs ? &s->propertyProcs : nullptr;
    r->inTileWidth = r->outTileWidth = r->maskTileWidth = r->absTileWidth = o.tileWidth;
    r->inTileHeight = r->outTileHeight = r->maskTileHeight = r->absTileHeight = o.tileHeight;
    r->descriptorParameters = o.descriptorParameters ? &s->descriptorParameters : nullptr;
    r->errorString = &s->errorString;
    r->sSPBasic = o.basicSuite ? &s->basicSuite : nullptr;
    r->depth = d.Depth();
    r->canUseICCProfiles = 1;

    s->bigDocumentProvided = o.bigDocumentData && s->RecordHas(offsetof(FilterRecord, bigDocumentData), 8);
    if (s->bigDocumentProvided) {
        BigDocumentStruct& b = s->bigDocument;
        b = BigDocumentStruct{};
        b.imageSize32 = VPoint{d.Height(), d.Width()};
        b.filterRect32 = VRect{filter.top, filter.left, filter.bottom, filter.right};
        b.wholeSize32 = b.imageSize32;
        r->bigDocumentData = &b;
    }
    // Only the newest records have the 64-bit space fields; older ones hold reserved bytes there.
    if (o.recordSize >= sizeof(FilterRecord))
        r->maxSpace64 = o.maxSpace;

    s->about = AboutRecord{};
    s->about.platformData = &s->platform;
    s->about.sSPBasic = o.basicSuite ? &s->basicSuite : nullptr;
}

OSErr Host::RunInteractive()
{
    return RunSelectors(this, state_.get(), true, false, plugInDialogDisplay);
}

OSErr Host::RunRepeat()
{
    return RunSelectors(this, state_.get(), false, false, plugInDialogDontDisplay);
}

OSErr Host::RunScripted(int16 playInfo)
{
    return RunSelectors(this, state_.get(), false, true, playInfo);
}

OSErr Host::CallSelector(int16 selector)
{
    State* s = state_.get();
    int16 result = noErr;
    s->selectors.push_back(selector);
    if (s->entry == nullptr) {
        s->Fault("there is no module to call");
        return paramErr;
    }
    void* record = selector == filterSelectorAbout ? static_cast<void*>(&s->about) : static_cast<void*>(s->record);
    s->entry(selector, record, &s->dataSlot, &result);
    return result;
}

const std::vector<int16>& Host::Selectors() const
{
    return state_->selectors;
}

FilterRecord* Host::Record()
{
    return state_->record;
}

BigDocumentStruct* Host::BigDocument()
{
    return state_->ProvidedBigDocument();
}

PIDescriptorParameters* Host::DescriptorParameters()
{
    return state_->options.descriptorParameters ? &state_->descriptorParameters : nullptr;
}

AboutRecord* Host::About()
{
    return &state_->about;
}

intptr_t& Host::DataSlot()
{
    return state_->dataSlot;
}

std::vector<uint8_t> Host::ParametersBytes() const
{
    return HandleBytes(state_->record->parameters);
}

std::vector<uint8_t> Host::DataBytes() const
{
    return HandleBytes(reinterpret_cast<Handle>(state_->dataSlot));
}

void Host::SetParametersBytes(const void* bytes, int32_t size)
{
    FilterRecord* r = state_->record;
    if (LookUpHostHandle(r->parameters) != nullptr)
        DisposeHostHandle(r->parameters);
    r->parameters = NewHostHandle(size);
    if (r->parameters != nullptr && size > 0)
        std::memcpy(*r->parameters, bytes, size_t(size));
}

void Host::SetDescriptor(const Descriptor& descriptor)
{
    state_->scriptDescriptor = descriptor;
    state_->hasScriptDescriptor = true;
}

void Host::ClearDescriptor()
{
    state_->scriptDescriptor.clear();
    state_->hasScriptDescriptor = false;
}

const Descriptor& Host::RecordedDescriptor() const
{
    return state_->recordedDescriptor;
}

int16 Host::RecordInfo() const
{
    return state_->recordInfo;
}

bool Host::GetRegisteredData(const std::string& key, DescriptorKeyID dataKey, std::vector<uint8_t>* data) const
{
    auto found = state_->registry.find(key);
    if (found == state_->registry.end())
        return false;
    const DescriptorValue* value = FindValue(found->second.descriptor, dataKey);
    if (value == nullptr || value->type != typeRawData)
        return false;
    *data = value->data;
    return true;
}

void Host::RegisterData(const std::string& key, DescriptorKeyID dataKey, const void* data, int32_t length,
                        bool persistent)
{
    Descriptor descriptor;
    PutValue(&descriptor, dataKey, DataValue(data, size_t(length)));
    state_->registry[key] = RegistryEntry{descriptor, persistent};
    if (persistent)
        SaveRegistryFile(state_.get());
}

const std::vector<TransferRequest>& Host::Transfers() const
{
    return state_->transfers;
}

int32_t Host::AdvanceStateCalls() const
{
    return state_->advanceStateCalls;
}

const std::vector<ProgressCall>& Host::ProgressCalls() const
{
    return state_->progress;
}

int32_t Host::AbortCalls() const
{
    return state_->abortCalls;
}

const std::vector<PropertyCall>& Host::PropertySets() const
{
    return state_->propertySets;
}

int32_t Host::SuiteBalance(const std::string& name) const
{
    return SuiteAcquisitions(name) - [&] {
        auto found = state_->releases.find(name);
        return found != state_->releases.end() ? found->second : 0;
    }();
}

int32_t Host::SuiteAcquisitions(const std::string& name) const
{
    auto found = state_->acquisitions.find(name);
    return found != state_->acquisitions.end() ? found->second : 0;
}

int32_t Host::LiveHandles() const
{
    return int32_t(state_->handles.size());
}

int32_t Host::LiveBuffers() const
{
    return int32_t(state_->buffers.size() + state_->suiteBlocks.size());
}

int32_t Host::LiveActionDescriptors() const
{
    return int32_t(state_->actionDescriptors.size());
}

const std::vector<std::string>& Host::Faults() const
{
    return state_->faults;
}

const std::vector<std::string>& Host::RegistryFileProblems() const
{
    return state_->registryProblems;
}

void Host::ClearLog()
{
    State* s = state_.get();
    s->selectors.clear();
    s->transfers.clear();
    s->progress.clear();
    s->propertySets.clear();
    s->faults.clear();
}
