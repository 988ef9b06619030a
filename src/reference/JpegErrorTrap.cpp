#include "reference/JpegErrorTrap.h"

namespace pictora {
namespace {

[[noreturn]] void LeaveWithMessage(j_common_ptr cinfo) {
    auto* trap = reinterpret_cast<JpegErrorTrap*>(cinfo->err);
    trap->manager.format_message(cinfo, trap->message);
    std::longjmp(trap->jump, 1);
}

// Level -1 is a warning; higher levels are trace output, dropped.
void FailOnWarning(j_common_ptr cinfo, int level) {
    if (level < 0) LeaveWithMessage(cinfo);
}

}  // namespace

jpeg_error_mgr* InstallJpegErrorTrap(JpegErrorTrap& trap) {
    jpeg_error_mgr* manager = jpeg_std_error(&trap.manager);
    manager->error_exit = LeaveWithMessage;
    manager->emit_message = FailOnWarning;
    trap.message[0] = '\0';
    return manager;
}

}  // namespace pictora
