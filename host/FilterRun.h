// The final filter run: detect the stars, render the effect tile by tile and hand each tile to the host.
#pragma once

void DoFilter();
