#pragma once

#include <QString>

#include "pipeline/MethodSettings.h"

class QSettings;

namespace pictora {

// The method's options kept between sessions, as the command line writes
// them (C-format numbers). A value missing or not readable gives its default.
MethodSettings LoadMethodSettings(QSettings& settings);
void SaveMethodSettings(QSettings& settings, const MethodSettings& method);

// The status line's words for the options that are on ("Método: menor erro,
// refinamento 5, lambda 20, desbloqueio 2"); empty when all are off.
QString MethodStatusText(const MethodSettings& method);

}  // namespace pictora
