// Release of everything the effect engine holds between the start and the end of one filter run.
#pragma once

// Frees the star list and every shape.
void ReleaseEngine();
