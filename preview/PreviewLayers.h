// The preview's two image layers, both 8 bits per channel in image coordinates: the host proxy (the
// input converted once, the first time any of it is needed) and the effect layer (the proxy with the
// effect composited over it). Each keeps a region of what is valid, so that nothing is computed twice
// while it stays valid.
#pragma once

#include <windows.h>

#include "image/ImageBuffer.h"
#include "preview/PreviewJob.h"

struct PreviewLayers
{
    ImageBuffer* input; // the document at its own depth; stars are found in it
    ImageBuffer hostProxy;
    HRGN validHostProxy;
    HRGN hostInvalidWork;
    HRGN hostTemp;
    ImageBuffer effectLayer;
    HRGN validEffectProxy;
    HRGN effectInvalidWork;
    HRGN effectTemp;
    bool active;           // the effect layer exists
    bool checkedOnce;      // checkedJob holds a job
    PreviewJob checkedJob; // the job under which validEffectProxy was last checked
    OSErr failure;         // the first failure of the engine, for the dialog to end with
};

extern PreviewLayers gLayers;

// Allocates both layers for `input` (noErr, or the refused allocation's code, already reported to the
// user) and creates their regions.
OSErr CreatePreviewLayers(ImageBuffer* input);
void ReleasePreviewLayers();

// At the start of every slice: a change of the effect (parameters or Preview setting) empties the
// effect's validity; otherwise it keeps what the host proxy still backs.
void CheckEffectValidity(const PreviewJob& job);
// Makes the effect valid in `rect` (image coordinates). False when interrupted by user input or failed
// (gLayers.failure then says why); finished rectangles stay valid either way.
bool ComputeEffectIn(const RECT& rect, const PreviewJob& job);

// The delete tool switched a star: its rectangle (image coordinates) is computed again.
void SetFilterEffectsInvalidInRect(const RECT& rect);
