#pragma once

namespace pictora {

// The flags by which the start button runs training one step at a time.
// Together they make five states: Fresh, Running, Stopping, Paused, Finished.
struct RunFlags {
    bool awaitingStart = true;  // a click starts or resumes rather than stops
    bool stopRequested = false; // the user asked to stop after the step in progress
    bool needsReset = true;     // the next start begins a new run
    bool imageReloaded = false; // an image was opened since the last new run
    int stepRow = 1;            // number of the next results row
};

enum class ClickAction {
    RequestStop,  // the chain ends after the step in progress
    NewRun,       // restart: the list is emptied and the networks reset
    Resume,       // continue a paused run with its networks and rows
};

// What a click on the start button does; updates the flags for it (a new run
// clears needsReset and imageReloaded and numbers rows from 1 again).
ClickAction DecideClick(RunFlags& flags);

// After a step: true when the next step is to be posted (the run has steps
// left and no stop was asked for); otherwise the run pauses (after a stop
// request) or finishes, and the flags say which.
bool DecideContinue(RunFlags& flags, bool stepsLeft);

// The run ends where it is (memory ran out in a step, say): the button waits
// for a click, which starts a new run.
void EndRun(RunFlags& flags);

}  // namespace pictora
