// The preview's zoom levels, in percent.
#pragma once

constexpr int kZoomLevelCount = 19;
constexpr double kZoomLevels[kZoomLevelCount] = {0.3, 0.5, 1,   2.5, 6.25, 12.5, 25,   33.33, 50,  66.67,
                                                 100, 200, 300, 400, 600,  800,  1000, 1200,  1600};
constexpr double kMinimumZoom = kZoomLevels[0];
constexpr double kMaximumZoom = kZoomLevels[kZoomLevelCount - 1];
constexpr double kActualPixels = 100.0;

// The smallest level above `zoom` (the largest level when there is none), and the largest level below
// it (the smallest when there is none).
double NextZoomIn(double zoom);
double NextZoomOut(double zoom);
