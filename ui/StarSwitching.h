// The Delete tool's work on the star list: switching the spikes of the star under a click, or of every
// star in a dragged rectangle, off (or, with Alt, on), and having the preview draw those stars again.
#pragma once

#include <windows.h>

// The nearest star within reach of `screen` whose spikes are in the other state.
void SwitchStarAt(HWND dialog, POINT screen, bool on);
// Every star whose pixel lies in the rectangle between two screen points, whatever its state.
void SwitchStarsIn(HWND dialog, POINT a, POINT b, bool on);
