// A module loaded from its file shows real message boxes, which no hook in the test program reaches.
// While a test program runs, a box that no test has taken within two seconds is printed and closed,
// so that a run never waits for a person.
#pragma once

#include <string>
#include <vector>

void StartStrayMessageBoxCloser();

// Stops the closer and waits for it: a thread killed by process exit inside a window-manager call can
// leave a lock held that the exit itself then waits for.
void StopStrayMessageBoxCloser();

// While a test watches, every box is closed as soon as it is seen and its "caption / text" kept for
// the test; starting a watch forgets what an earlier one took.
void WatchMessageBoxes(bool watching);
std::vector<std::string> WatchedMessageBoxes();
