#pragma once

#include <string>

#include "support/Status.h"

namespace pictora {

// The per-user folder that holds the worker's temporary files, created on
// first use with access for its owner only: $XDG_RUNTIME_DIR/pictora when that
// is set, otherwise pictora-<uid> in the system's temporary folder.
// `name` is appended; fails when the folder cannot be made.
Status TemporaryFilePath(const std::string& name, std::string& path);

}  // namespace pictora
