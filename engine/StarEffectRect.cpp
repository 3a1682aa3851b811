#include "engine/StarEffectRect.h"

#include <algorithm>

#include "engine/RenderShapes.h"

namespace {

ImageRect EntryRect(const SubShapeEntry& entry)
{
    return ImageRect{entry.left, entry.top, entry.right, entry.bottom};
}

ImageRect Union(const ImageRect& a, const ImageRect& b)
{
    if (IsEmptyRect(a))
        return b;
    if (IsEmptyRect(b))
        return a;
    return ImageRect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                     std::max(a.bottom, b.bottom)};
}

} // namespace

ImageRect StarEffectRect(const StarRecord& star)
{
    const ImageRect shapes = Union(EntryRect(EntryFor(gRenderShapes.spike, star.xPhase, star.yPhase)),
                                   EntryRect(EntryFor(gRenderShapes.flare, star.xPhase, star.yPhase)));
    if (IsEmptyRect(shapes))
        return ImageRect{0, 0, 0, 0};
    return ImageRect{shapes.left + star.x, shapes.top + star.y, shapes.right + star.x, shapes.bottom + star.y};
}
