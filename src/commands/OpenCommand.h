#pragma once

#include <QStringList>

namespace pictora {

class CommandTarget;

// The file dialog's filter of the Open command.
extern const char* const kOpenFilter;
// What refuses a command that needs a source image before one is loaded.
extern const char* const kLoadAnImageFirst;
// What refuses a command while the worker is still busy with an earlier one.
extern const char* const kEarlierCommandRunning;

// Asks for files and opens them (OpenPaths); a cancelled dialog only puts the
// image tabs back on their first tab.
void RunOpenCommand(CommandTarget& target);

// Opens what the first path names, its kind told by ResultFileKindOf (the
// last extension, case ignored, as Save, decode and info tell it): PNGs,
// coded images and codebooks go to the worker, any other name is refused. Three .cod files are assigned to channels in the codebook order
// dialog.
void OpenPaths(CommandTarget& target, const QStringList& paths);

}  // namespace pictora
