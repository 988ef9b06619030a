#include "ui/RunControl.h"

namespace pictora {

ClickAction DecideClick(RunFlags& flags) {
    const bool starts = (flags.awaitingStart && !flags.stopRequested) || flags.needsReset;
    if (!starts) {
        flags.stopRequested = true;
        flags.awaitingStart = true;
        return ClickAction::RequestStop;
    }
    flags.awaitingStart = false;
    if (flags.needsReset || flags.imageReloaded) {
        flags.needsReset = false;
        flags.imageReloaded = false;
        flags.stepRow = 1;
        return ClickAction::NewRun;
    }
    return ClickAction::Resume;
}

bool DecideContinue(RunFlags& flags, bool stepsLeft) {
    if (stepsLeft && !flags.stopRequested) return true;
    if (flags.stopRequested) {
        flags.stopRequested = false;  // paused: awaitingStart is already set
    } else {
        flags.needsReset = true;      // finished
    }
    return false;
}

void EndRun(RunFlags& flags) {
    flags.awaitingStart = true;
    flags.stopRequested = false;
    flags.needsReset = true;
}

}  // namespace pictora
