// advanceState: commit what the module wrote into the last output buffer, then load the areas the
// record asks for. Rows carry padding bytes at their ends, so a module that assumes tight rows reads
// the wrong pixels; every buffer is its own exactly sized block, so overruns are caught.
#include <cstring>

#include "tools/harness/HostState.h"

namespace {

// What padding bytes and "undefined" padding hold: not a value a test would write on purpose.
constexpr uint8_t kJunkByte = 0xA5;
constexpr int64_t kLargestTransfer = int64_t(1) << 31;

struct Request
{
    bool coordinates32;
    ImageRect in, out, mask;
};

ImageRect FromRect(const Rect& r)
{
    return ImageRect{r.left, r.top, r.right, r.bottom};
}

ImageRect FromVRect(const VRect& r)
{
    return ImageRect{r.left, r.top, r.right, r.bottom};
}

Request ReadRequest(const Host::State* s)
{
    Request request{};
    const BigDocumentStruct* big = s->ProvidedBigDocument();
    request.coordinates32 = big != nullptr && big->PluginUsing32BitCoordinates != 0;
    const FilterRecord* r = s->record;
    if (request.coordinates32) {
        request.in = FromVRect(big->inRect32);
        request.out = FromVRect(big->outRect32);
        request.mask = FromVRect(big->maskRect32);
    } else {
        request.in = FromRect(r->inRect);
        request.out = FromRect(r->outRect);
        request.mask = FromRect(r->maskRect);
    }
    return request;
}

ImageRect Normalized(const ImageRect& r)
{
    return IsEmptyRect(r) ? ImageRect{0, 0, 0, 0} : r;
}

void ReleaseArea(TransferArea* area)
{
    std::vector<uint8_t>().swap(area->bytes);
    area->loaded = false;
    area->rowBytes = 0;
    area->planeCount = 0;
}

// Where sample (x, y) of a buffer taken at `rate` lies in the document, and whether it is inside.
bool SourcePixel(const HostDocument& doc, int32_t step, int32_t x, int32_t y, int32_t* sx, int32_t* sy)
{
    *sx = int32_t(int64_t(x) * step);
    *sy = int32_t(int64_t(y) * step);
    return *sx >= 0 && *sy >= 0 && *sx < doc.Width() && *sy < doc.Height();
}

int32_t Clamp(int32_t v, int32_t high)
{
    return v < 0 ? 0 : (v > high ? high : v);
}

// Loads `count` interleaved planes from `first` on (count 0: the selection, one byte a pixel).
OSErr LoadArea(Host::State* s, TransferArea* area, const ImageRect& rect, int32_t first, int32_t count, Fixed rate,
               int16 padding)
{
    const HostDocument& doc = s->document;
    if (rate <= 0 || rate % kFixedOne != 0)
        return paramErr; // the host samples at whole-number rates only
    const int32_t step = rate / kFixedOne;
    const bool selection = count == 0;
    const int32_t bytesPerSample = selection ? 1 : doc.BytesPerSample();
    const int32_t columnBytes = selection ? 1 : count * bytesPerSample;
    const int64_t width = int64_t(rect.right) - rect.left;
    const int64_t height = int64_t(rect.bottom) - rect.top;
    const int64_t rowBytes = width * columnBytes + s->options.rowPadding;
    if (rowBytes * height > kLargestTransfer)
        return memFullErr;

    int32_t sx, sy;
    const bool inside = SourcePixel(doc, step, rect.left, rect.top, &sx, &sy) &&
                        SourcePixel(doc, step, rect.right - 1, rect.bottom - 1, &sx, &sy);
    if (!inside && (padding < plugInDoesNotWantPadding || padding > 255))
        return paramErr; // plugInWantsErrorOnBoundsException and anything unknown

    area->bytes.assign(size_t(rowBytes * height), kJunkByte);
    area->rect = rect;
    area->firstChannel = first;
    area->planeCount = count;
    area->rowBytes = int32_t(rowBytes);
    area->loaded = true;
    const bool wholeRows = inside && step == 1 && count == 1; // one plane at full rate: rows are contiguous
    for (int32_t y = rect.top; y < rect.bottom; ++y) {
        uint8_t* row = area->bytes.data() + size_t(y - rect.top) * size_t(rowBytes);
        if (wholeRows) {
            std::memcpy(row, doc.SampleAddress(first, rect.left, y), size_t(width * bytesPerSample));
            continue;
        }
        for (int32_t x = rect.left; x < rect.right; ++x) {
            uint8_t* pixel = row + size_t(x - rect.left) * size_t(columnBytes);
            if (!SourcePixel(doc, step, x, y, &sx, &sy)) {
                if (padding >= 0) {
                    std::memset(pixel, padding, size_t(columnBytes));
                    continue;
                }
                if (padding == plugInDoesNotWantPadding)
                    continue;
                sx = Clamp(sx, doc.Width() - 1); // edge replication
                sy = Clamp(sy, doc.Height() - 1);
            }
            if (selection) {
                *pixel = doc.SelectionAt(sx, sy);
                continue;
            }
            for (int32_t k = 0; k < count; ++k)
                std::memcpy(pixel + k * bytesPerSample, doc.SampleAddress(first + k, sx, sy), size_t(bytesPerSample));
        }
    }
    return noErr;
}

// The planes a request names, as this host reads them; false when they do not exist.
bool PlaneRange(Host::State* s, const char* which, int16 lo, int16 hi, int32_t* first, int32_t* count)
{
    const int32_t planes = s->document.PlaneCount();
    if (lo < 0 || hi < lo || hi >= planes) {
        s->Fault(std::string(which) + " planes " + std::to_string(lo) + ".." + std::to_string(hi) +
                 " outside the document's 0.." + std::to_string(planes - 1));
        return false;
    }
    *count = hi - lo + 1;
    *first = s->Independent() ? 0 : lo; // that host always starts at channel 0
    return true;
}

OSErr LoadAreas(Host::State* s, const Request& request)
{
    FilterRecord* r = s->record;
    int32_t first, count;
    OSErr error = noErr;
    if (!IsEmptyRect(request.in)) {
        if (!PlaneRange(s, "input", r->inLoPlane, r->inHiPlane, &first, &count))
            return paramErr;
        error = LoadArea(s, &s->in, request.in, first, count, r->inputRate, r->inputPadding);
        if (error != noErr)
            return error;
    }
    if (!IsEmptyRect(request.out)) {
        if (!PlaneRange(s, "output", r->outLoPlane, r->outHiPlane, &first, &count))
            return paramErr;
        // The output is written back where it came from: it must lie inside the document.
        error = LoadArea(s, &s->out, request.out, first, count, kFixedOne, plugInWantsErrorOnBoundsException);
        if (error != noErr)
            return error;
    }
    if (!IsEmptyRect(request.mask) && s->document.HasSelection())
        error = LoadArea(s, &s->mask, request.mask, 0, 0, r->maskRate, r->maskPadding);
    return error;
}

void CommitOutput(Host::State* s)
{
    const TransferArea& out = s->out;
    const int32_t bytesPerSample = s->document.BytesPerSample();
    for (int32_t y = out.rect.top; y < out.rect.bottom; ++y) {
        const uint8_t* row = out.bytes.data() + size_t(y - out.rect.top) * size_t(out.rowBytes);
        if (out.planeCount == 1) {
            std::memcpy(s->document.SampleAddress(out.firstChannel, out.rect.left, y), row,
                        size_t(out.rect.right - out.rect.left) * size_t(bytesPerSample));
            continue;
        }
        for (int32_t x = out.rect.left; x < out.rect.right; ++x) {
            const uint8_t* pixel = row + size_t(x - out.rect.left) * size_t(out.planeCount * bytesPerSample);
            for (int32_t k = 0; k < out.planeCount; ++k)
                std::memcpy(s->document.SampleAddress(out.firstChannel + k, x, y), pixel + k * bytesPerSample,
                            size_t(bytesPerSample));
        }
    }
}

void PublishAreas(Host::State* s)
{
    FilterRecord* r = s->record;
    const int32_t bytesPerSample = s->document.BytesPerSample();
    r->inData = s->in.loaded ? s->in.bytes.data() : nullptr;
    r->inRowBytes = s->in.rowBytes;
    r->outData = s->out.loaded ? s->out.bytes.data() : nullptr;
    r->outRowBytes = s->out.rowBytes;
    r->maskData = s->mask.loaded ? s->mask.bytes.data() : nullptr;
    r->maskRowBytes = s->mask.rowBytes;
    if (s->Independent()) {
        r->inColumnBytes = r->inPlaneBytes = r->outColumnBytes = r->outPlaneBytes = 0;
        return;
    }
    r->inColumnBytes = s->in.planeCount * bytesPerSample;
    r->inPlaneBytes = s->in.loaded ? bytesPerSample : 0;
    r->outColumnBytes = s->out.planeCount * bytesPerSample;
    r->outPlaneBytes = s->out.loaded ? bytesPerSample : 0;
}

void LogTransfer(Host::State* s, const TransferRequest& t)
{
    if (s->options.logCalls)
        s->transfers.push_back(t);
}

OSErr Transfer(Host::State* s, bool fromModule)
{
    const FilterRecord* r = s->record;
    const Request request = ReadRequest(s);
    TransferRequest t{fromModule ? ++s->advanceStateCalls : 0,
                      request.coordinates32,
                      request.in,
                      request.out,
                      request.mask,
                      r->inLoPlane,
                      r->inHiPlane,
                      r->outLoPlane,
                      r->outHiPlane,
                      r->inputRate,
                      r->inputPadding,
                      noErr,
                      false};
    const HostOptions& o = s->options;
    if (fromModule && o.failAdvanceStateAt > 0 && t.call >= o.failAdvanceStateAt)
        t.result = o.advanceStateError;
    else if (fromModule && s->aborted)
        t.result = userCanceledErr;
    if (t.result != noErr) {
        LogTransfer(s, t);
        return t.result;
    }

    const ImageRect in = Normalized(request.in), out = Normalized(request.out), mask = Normalized(request.mask);
    if (s->Independent() && in == Normalized(s->in.rect) && out == Normalized(s->out.rect) &&
        mask == Normalized(s->mask.rect)) {
        LogTransfer(s, t); // that host keeps its buffers (and the output) as they are
        return noErr;
    }

    CommitAndReleaseAreas(s, true);
    t.result = LoadAreas(s, request);
    if (t.result != noErr) {
        CommitAndReleaseAreas(s, false);
    } else {
        // The independent host compares against what was asked, whether or not it loaded anything.
        s->in.rect = in;
        s->out.rect = out;
        s->mask.rect = mask;
    }
    PublishAreas(s);
    t.reloaded = true;
    LogTransfer(s, t);
    return t.result;
}

} // namespace

OSErr TransferForModule()
{
    return Transfer(gHostState, true);
}

OSErr TransferForHost()
{
    return Transfer(gHostState, false);
}

bool AnyRequestedRect(const Host::State* state)
{
    const Request request = ReadRequest(state);
    return !IsEmptyRect(request.in) || !IsEmptyRect(request.out) || !IsEmptyRect(request.mask);
}

void CommitAndReleaseAreas(Host::State* state, bool commit)
{
    if (commit && state->out.loaded)
        CommitOutput(state);
    ReleaseArea(&state->in);
    ReleaseArea(&state->out);
    ReleaseArea(&state->mask);
    state->in.rect = state->out.rect = state->mask.rect = ImageRect{0, 0, 0, 0};
    FilterRecord* r = state->record;
    r->inData = r->outData = r->maskData = nullptr;
}
