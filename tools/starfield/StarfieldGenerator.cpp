#include "tools/starfield/StarfieldGenerator.h"

#include <algorithm>
#include <cmath>

uint64_t SeededRandom::Next()
{
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double SeededRandom::Uniform()
{
    return double(Next() >> 11) * (1.0 / 9007199254740992.0);
}

double PortableExp(double x)
{
    if (x < -700.0)
        return 0.0;
    if (x > 0.0)
        x = 0.0;
    // x = k ln 2 + r with |r| <= ln 2 / 2; e^r by its Taylor series, then scaled by 2^k exactly.
    constexpr double kLn2High = 0.693147180369123816490;
    constexpr double kLn2Low = 1.90821492927058770002e-10;
    const double k = std::floor(x / 0.6931471805599453 + 0.5);
    const double r = (x - k * kLn2High) - k * kLn2Low;
    double term = 1.0;
    double sum = 1.0;
    for (int n = 1; n <= 16; ++n) {
        term = term * r / n;
        sum += term;
    }
    return std::ldexp(sum, int(k));
}

StarfieldOptions SampleStarfieldOptions()
{
    StarfieldOptions options;
    options.width = 1024;
    options.height = 768;
    options.seed = 20240601;
    options.starCount = 180;
    options.background = 0.004;
    options.noise = 0.002;
    return options;
}

std::vector<StarfieldStar> GenerateStars(const StarfieldOptions& options)
{
    SeededRandom random(options.seed);
    std::vector<StarfieldStar> stars;
    stars.reserve(size_t(std::max(options.starCount, 0)));
    const double spanX = std::max(1, options.width - 2 * options.margin);
    const double spanY = std::max(1, options.height - 2 * options.margin);
    for (int32_t i = 0; i < options.starCount; ++i) {
        StarfieldStar star{};
        star.x = options.margin + random.Uniform() * spanX;
        star.y = options.margin + random.Uniform() * spanY;
        // Many faint, small stars and a few bright, large ones.
        const double size = random.Uniform();
        star.sigma = options.minSigma + (options.maxSigma - options.minSigma) * size * size;
        star.peak = options.minPeak + (options.maxPeak - options.minPeak) * random.Uniform() * size;
        const double temperature = random.Uniform(); // 0 red-orange .. 1 blue-white
        if (options.coloured) {
            star.red = 1.0 - 0.35 * temperature;
            star.green = 0.8 + 0.1 * temperature;
            star.blue = 0.55 + 0.45 * temperature;
        } else {
            star.red = star.green = star.blue = 1.0;
        }
        stars.push_back(star);
    }
    return stars;
}

LinearImage UniformImage(int32_t width, int32_t height, double red, double green, double blue)
{
    LinearImage image;
    image.width = std::max(width, 0);
    image.height = std::max(height, 0);
    image.rgb.resize(size_t(image.width) * size_t(image.height) * 3);
    for (size_t i = 0; i < image.rgb.size(); i += 3) {
        image.rgb[i] = float(red);
        image.rgb[i + 1] = float(green);
        image.rgb[i + 2] = float(blue);
    }
    return image;
}

void AddGaussianStar(LinearImage* image, const StarfieldStar& star)
{
    // Beyond five widths a Gaussian adds less than a millionth of its peak.
    const double reach = 5.0 * star.sigma + 1.0;
    const int32_t left = std::max(0, int32_t(std::floor(star.x - reach)));
    const int32_t right = std::min(image->width - 1, int32_t(std::ceil(star.x + reach)));
    const int32_t top = std::max(0, int32_t(std::floor(star.y - reach)));
    const int32_t bottom = std::min(image->height - 1, int32_t(std::ceil(star.y + reach)));
    const double scale = -1.0 / (2.0 * star.sigma * star.sigma);
    for (int32_t y = top; y <= bottom; ++y) {
        for (int32_t x = left; x <= right; ++x) {
            const double dx = x - star.x;
            const double dy = y - star.y;
            const double value = star.peak * PortableExp((dx * dx + dy * dy) * scale);
            float* pixel = &image->rgb[(size_t(y) * size_t(image->width) + size_t(x)) * 3];
            pixel[0] += float(value * star.red);
            pixel[1] += float(value * star.green);
            pixel[2] += float(value * star.blue);
        }
    }
}

void ClampImage(LinearImage* image)
{
    for (float& v : image->rgb)
        v = std::min(std::max(v, 0.0f), 1.0f);
}

LinearImage RenderStarfield(const StarfieldOptions& options, const std::vector<StarfieldStar>& stars)
{
    LinearImage image =
        UniformImage(options.width, options.height, options.background, options.background, options.background);
    for (const StarfieldStar& star : stars)
        AddGaussianStar(&image, star);
    if (options.noise > 0.0) {
        SeededRandom random(options.seed ^ 0xA5A5A5A5DEADBEEFull);
        for (float& v : image.rgb)
            v += float(options.noise * (2.0 * random.Uniform() - 1.0));
    }
    ClampImage(&image);
    return image;
}

void WriteToImageBuffer(const LinearImage& image, ImageBuffer* buffer)
{
    const int32_t width = std::min(image.width, buffer->rect.right - buffer->rect.left);
    const int32_t height = std::min(image.height, buffer->rect.bottom - buffer->rect.top);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const float* pixel = &image.rgb[(size_t(y) * size_t(image.width) + size_t(x)) * 3];
            PixelSample sample;
            sample.red = uint32_t(double(pixel[0]) * 16777215.0);
            sample.green = uint32_t(double(pixel[1]) * 16777215.0);
            sample.blue = uint32_t(double(pixel[2]) * 16777215.0);
            sample.alpha = 0xFFFFFFFE;
            sample.mask = 0xFFFFFFFE;
            buffer->putPixel(buffer, sample, buffer->rect.left + x, buffer->rect.top + y);
        }
    }
}
