// The main dialog of an interactive run. It edits the current parameters in place; a cancel sets the
// result code to userCanceledErr.
#pragma once

// True when the user confirmed with OK. Where no dialog exists the run goes on with the parameters as
// they are.
bool RunMainDialog();
