// A person at the host's screen: while a run is in its start selector, answers the module's dialog with
// OK or Cancel as soon as it is up, so that runs that show the dialog (interactive runs, and hosts that
// send the parameters selector every time) go on as a user would let them. Natively the module has no
// dialog and nothing is watched.
#pragma once

enum class DialogAnswer
{
    None,   // leave the dialog to the test (which drives it itself)
    Ok,     // press OK: apply with the parameters as they are
    Cancel, // press Cancel: the run ends with userCanceledErr
};

class DialogAnswerer
{
public:
    explicit DialogAnswerer(DialogAnswer answer);
    ~DialogAnswerer();
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

private:
    struct Watch;
    Watch* watch_;
};
