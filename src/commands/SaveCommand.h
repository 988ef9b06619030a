#pragma once

#include <QString>

#include "support/Status.h"

namespace pictora {

class CommandTarget;

// The file dialog's filter of the Save command.
extern const char* const kSaveFilter;

// Asks for a name and saves the current result, the kind chosen by the typed
// extension (case ignored): .mqc coded image, .huf or .art coded image through
// the Huffman or arithmetic coder, .cod codebooks, .png reconstruction. Any
// other name is explained and asked for again. Nothing is saved before an
// image has been coded, nor while the worker runs a step, loads an image or
// saves. The file is written on the worker; a failure is told once it is
// done (SaveFailedText).
void RunSaveCommand(CommandTarget& target);

// Whether `path` is the same file as one the target's image or result was
// read from (a save over it would destroy what the result came from), and
// the message that refuses it.
bool IsAnInput(const CommandTarget& target, const QString& path);
QString InputReplacedText(const QString& path);
QString SaveFailedText(const QString& path, const Status& status);

}  // namespace pictora
