// Two controls of the dialog that behave a little differently from their classes.
#pragma once

#include <windows.h>

// The progress bar draws no frame: it sits in the strip under the preview. Also makes its brush.
bool SubclassProgressBar(HWND dialog);
// The product mark shows a link cursor and opens the About box when clicked.
void SubclassProductMark(HWND dialog);
