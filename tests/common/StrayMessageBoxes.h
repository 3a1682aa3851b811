// A module loaded from its file shows real message boxes, which no hook in the test program reaches.
// Started once per test program: a box that no test has taken within two seconds is printed and
// closed, so that a run never waits for a person.
#pragma once

void StartStrayMessageBoxCloser();
