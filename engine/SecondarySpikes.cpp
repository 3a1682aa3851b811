#include "engine/SecondarySpikes.h"

// Drawn in this order; the order matters because the rays are appended to the shape one after another.
const SecondarySpike kSecondarySpikeTable[kSecondarySpikeCount] = {
    {4, 32},   {11, 17},  {18, 42},  {27, 19},  {34, 16},  {41, 31},  {47, 14},  {55, 24},  {64, 22},
    {76, 34},  {86, 16},  {100, 20}, {107, 14}, {116, 38}, {125, 16}, {136, 28}, {145, 20}, {152, 21},
    {163, 28}, {175, 23}, {183, 19}, {189, 26}, {199, 18}, {207, 28}, {215, 21}, {226, 23}, {233, 16},
    {246, 31}, {251, 14}, {260, 17}, {277, 18}, {284, 16}, {291, 25}, {296, 15}, {302, 18}, {311, 15},
    {319, 27}, {322, 14}, {331, 18}, {338, 21}, {347, 31}, {352, 20},
};
