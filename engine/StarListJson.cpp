#include "engine/StarListJson.h"

#include <cinttypes>
#include <cmath>

#include "engine/StarList.h"

bool WriteStarListJson(std::FILE* file)
{
    const StarRecord* stars = StarRecords();
    std::fprintf(file, "{\"starCount\": %" PRIu32 ", \"maxStarChannel\": %" PRIu32 ", \"stars\": [",
                 gStarList.starCount, gStarList.maxStarChannel);
    for (uint32_t i = 0; i < gStarList.starCount; ++i) {
        const StarRecord& s = stars[i];
        std::fprintf(file,
                     "%s\n  {\"x\": %" PRId32 ", \"xPhase\": %" PRId32 ", \"y\": %" PRId32 ", \"yPhase\": %" PRId32
                     ", \"centreX\": %.2f, \"centreY\": %.2f, \"radiusSquared\": %" PRId32
                     ", \"radius\": %.4f, \"brightness\": %" PRIu32 ", \"red\": %" PRIu32 ", \"green\": %" PRIu32
                     ", \"blue\": %" PRIu32 ", \"spikesEnabled\": %s}",
                     i == 0 ? "" : ",", s.x, s.xPhase, s.y, s.yPhase, s.x + s.xPhase * 0.25, s.y + s.yPhase * 0.25,
                     s.radiusSquared, std::sqrt(double(s.radiusSquared)), s.brightness, s.red, s.green, s.blue,
                     s.spikesEnabled != 0 ? "true" : "false");
    }
    std::fprintf(file, "%s]}\n", gStarList.starCount == 0 ? "" : "\n");
    return std::ferror(file) == 0;
}
