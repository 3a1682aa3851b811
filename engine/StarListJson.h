// The star list as JSON, for people and tools that want to see what detection found.
//
//   {"starCount": 2, "maxStarChannel": ..., "stars": [
//     {"x": 10, "xPhase": 1, "y": 20, "yPhase": 3, "centreX": 10.25, "centreY": 20.75,
//      "radiusSquared": 9, "radius": 3.0000, "brightness": ..., "red": ..., "green": ..., "blue": ...,
//      "spikesEnabled": true}, ...]}
//
// brightness and the colours are fractions (4294967294 is 1.0) once detection has finished.
#pragma once

#include <cstdio>

// Returns false when writing failed.
bool WriteStarListJson(std::FILE* file);
