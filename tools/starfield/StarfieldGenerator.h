// Seeded synthetic starfields for tests, benchmarks and demonstrations.
//
//   StarfieldOptions options;
//   options.width = 640; options.height = 480; options.seed = 7; options.starCount = 200;
//   const std::vector<StarfieldStar> stars = GenerateStars(options);
//   LinearImage image = RenderStarfield(options, stars);
//   WriteToImageBuffer(image, &input);        // any mode, through the buffer's putPixel
//
// The same seed gives the same image on every platform: the generator has its own random numbers and
// its own exponential, and uses nothing from the C library whose last bit could differ.
#pragma once

#include <cstdint>
#include <vector>

#include "image/ImageBuffer.h"

struct StarfieldStar
{
    double x; // centre in pixel coordinates; a whole number is the middle of that pixel
    double y;
    double sigma; // Gaussian width in pixels
    double peak;  // linear light at the centre, 1.0 is white (more saturates)
    double red;   // colour factors 0..1
    double green;
    double blue;
};

struct StarfieldOptions
{
    int32_t width = 256;
    int32_t height = 256;
    uint64_t seed = 1;
    int32_t starCount = 50;
    double minSigma = 0.7;
    double maxSigma = 3.0;
    double minPeak = 0.55;
    double maxPeak = 2.0;
    double background = 0.01; // linear light everywhere
    double noise = 0.004;     // amplitude of uniform noise added to every channel
    bool coloured = true;     // star colours from red-orange to blue-white; false: grey stars
    int32_t margin = 6;       // stars keep this far from the edges
};

// Linear light, three values per pixel, row by row.
struct LinearImage
{
    int32_t width = 0;
    int32_t height = 0;
    std::vector<float> rgb;
};

// A small deterministic generator (SplitMix64).
class SeededRandom
{
public:
    explicit SeededRandom(uint64_t seed) : state_(seed) {}
    uint64_t Next();
    double Uniform(); // [0, 1)
    double Between(double low, double high) { return low + (high - low) * Uniform(); }

private:
    uint64_t state_;
};

// e^x for x <= 0, the same to the bit on every platform.
double PortableExp(double x);

std::vector<StarfieldStar> GenerateStars(const StarfieldOptions& options);
// The bundled sample starfield (what `corvane demo` writes): 1024 x 768, 180 stars, dark and quiet.
StarfieldOptions SampleStarfieldOptions();

// Background, stars and noise; values clamped to 0..1.
LinearImage RenderStarfield(const StarfieldOptions& options, const std::vector<StarfieldStar>& stars);

// An image of one colour (background only, no noise).
LinearImage UniformImage(int32_t width, int32_t height, double red, double green, double blue);

// Adds one Gaussian star (unclamped; clamp with ClampImage when done).
void AddGaussianStar(LinearImage* image, const StarfieldStar& star);
void ClampImage(LinearImage* image);

// Stores the image at the buffer's top-left corner through its putPixel: channels scaled to 0..0xFFFFFF,
// fully opaque and fully selected. The buffer's own rectangle limits what is written.
void WriteToImageBuffer(const LinearImage& image, ImageBuffer* buffer);
