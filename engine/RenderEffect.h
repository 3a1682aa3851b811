// Rendering the effect into one rectangle: the destination becomes a copy of the source (or black for
// the effect alone), then every star, brightest first, gets its spike shape and then its flare shape
// screen-blended onto it. The work is interruptible between stars and resumes where it stopped.
#pragma once

#include <cstdint>

#include "engine/EngineState.h"
#include "engine/FilterParameters.h"
#include "engine/QualityMode.h"
#include "image/ImageBuffer.h"

// What a render draws and how.
struct RenderInputs
{
    FilterParameters parameters;
    QualityMode quality;
    int32_t imageWidth; // the image the stars were found in: no spike or flare reaches beyond it
    int32_t imageHeight;
};

// What an interrupted render needs to go on where it stopped, and what tells a later call that it
// asks for the same render.
struct RenderResumeState
{
    bool resumable;         // set only by an interruption; cleared by every render after its decision
    uint32_t nextSpikeStar; // first star not yet stamped with the spike shape
    uint32_t nextFlareStar; // first star not yet stamped with the flare shape
    int16_t savedSaturation;
    int16_t savedIntensity;
    int16_t savedSoftFlareBrightness;
    int16_t savedOutputSpikesOnly;
    ImageBuffer savedDestination; // the destination record the interrupted render used
    ImageRect savedDestRect;
};

extern RenderResumeState gRenderResume;

// Renders the effect of the finished star list into `destRect` of `destination`, starting from
// `sourceRect` of `source`. Interrupted when user input is waiting: a call with the same arguments goes on
// where it stopped.
WorkStatus RenderEffect(const RenderInputs& inputs, const ImageBuffer* source, const ImageRect& sourceRect,
                        ImageBuffer* destination, const ImageRect& destRect);
