#include "preview/ZoomLevels.h"

double NextZoomIn(double zoom)
{
    for (double level : kZoomLevels)
        if (level > zoom)
            return level;
    return kMaximumZoom;
}

double NextZoomOut(double zoom)
{
    for (int i = kZoomLevelCount - 1; i >= 0; --i)
        if (kZoomLevels[i] < zoom)
            return kZoomLevels[i];
    return kMinimumZoom;
}
