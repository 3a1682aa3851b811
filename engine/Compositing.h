// Putting the effect into a destination image: the screen blend of one stamped point, and the raw copy
// and fill that prepare a destination rectangle before the stars are stamped onto it.
#pragma once

#include "engine/FixedPoint.h"
#include "image/ImageBuffer.h"

// The hue of a blend's source colour: each channel as a fraction of the strongest.
struct BlendHue
{
    uint32_t strongest;
    Fraction red;
    Fraction green;
    Fraction blue;
};

inline BlendHue HueOf(uint32_t red, uint32_t green, uint32_t blue)
{
    uint32_t m = red > green ? red : green;
    m = m > blue ? m : blue;
    // The strongest channel normalises to 1.0 without a division; so does black (m = 0) as a whole.
    return BlendHue{m, red == m ? kFractionOne : RatioFraction(red, m),
                    green == m ? kFractionOne : RatioFraction(green, m),
                    blue == m ? kFractionOne : RatioFraction(blue, m)};
}

// Screen-blends `hue` at full strength over `d` with an opacity of 256 times `alpha` times the hue's
// strongest channel (capped at 1.0); `d`'s alpha and mask are not touched.
template <class Quality> inline void BlendHueWith(PixelSample& d, const BlendHue& hue, Fraction alpha)
{
    // A faint source is scaled up 256-fold: the shapes store weights well below 1.0 so that their tails
    // keep precision, and the opacity saturates near the star, which makes brighter stars' spikes longer.
    const uint32_t q = MulFraction<Quality>(alpha, hue.strongest);
    const Fraction a = q < (uint32_t(1) << 24) ? q * 256 : kFractionOne;
    const Fraction keep = OneMinus(a);

    auto blend = [a, keep](uint32_t c, Fraction n) -> uint32_t {
        // A channel above full scale would wrap in 0xFFFFFF - c; treat it as white instead.
        c = c < kFullChannel ? c : kFullChannel;
        const uint32_t u = MulFraction<Quality>(kFullChannel - c, OneMinus(n));
        return MulFraction<Quality>(kFullChannel - u, a) + MulFraction<Quality>(c, keep);
    };
    d.red = blend(d.red, hue.red);
    d.green = blend(d.green, hue.green);
    d.blue = blend(d.blue, hue.blue);
}

// Screen-blends the source's hue at full strength over `d` with an opacity of 256 times the source's
// alpha times its strongest colour fraction (capped at 1.0). The source colour is three fractions, the
// destination colour channel values; `d`'s alpha and mask are not touched.
template <class Quality> inline void BlendPixelWith(PixelSample& d, const PixelSample& s)
{
    BlendHueWith<Quality>(d, HueOf(s.red, s.green, s.blue), s.alpha);
}

// Follows the current quality; for use outside the hot loops.
void BlendPixel(PixelSample& d, const PixelSample& s);

// Copies the raw samples of the colour and transparency planes from `sourceRect` of `source` to the
// same-sized area at `destRect` of `destination`, clipped to both buffers. The buffers may overlap. The
// selection mask is not copied. Fails (recording paramErr) when the buffers' attributes differ.
bool CopyImageRect(const ImageBuffer* source, const ImageRect& sourceRect, ImageBuffer* destination,
                   const ImageRect& destRect);

// Writes `sample` into every pixel of `rect`; fields holding 0xFFFFFFFF keep the stored values.
void FillImageRect(ImageBuffer* destination, const PixelSample& sample, const ImageRect& rect);
