#pragma once

#include <QString>

#include "support/Status.h"

namespace pictora {

// The reason of a failure as the desktop program tells it: one Portuguese
// sentence chosen by the failure's kind, and the file it concerns when there
// is one (the English detail is for the command line and the trace).
QString PortugueseReason(const Status& status);
// The sentence alone, for messages that name the file themselves.
QString PortugueseSentence(const Status& status);

}  // namespace pictora
