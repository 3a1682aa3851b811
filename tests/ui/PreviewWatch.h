// Knowing when the dialog's preview has finished: hooks on the dialog's thread (the test's own, which
// runs the host) note each restart the dialog takes from its queue and each job that ends (a finished
// job empties the progress bar).
//
//   PreviewWatch watch;                          // before the dialog runs, on its thread
//   RunWithDialog(&host, [](DialogDriver& dialog) { WaitForPreview(dialog); ... });
#pragma once

#include <windows.h>

#include "DialogDriver.h"

class PreviewWatch
{
public:
    PreviewWatch();
    ~PreviewWatch();
    PreviewWatch(const PreviewWatch&) = delete;
    PreviewWatch& operator=(const PreviewWatch&) = delete;

private:
    HHOOK restarts_;
    HHOOK ends_;
};

// Until the job of the last restart has ended, with the queue drained so that no restart waits behind it.
void WaitForPreview(DialogDriver& dialog);
