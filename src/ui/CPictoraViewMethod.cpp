// The form's method options: asked for in their dialog, carried by every
// training job, and set in the compressor for decoded files and applied
// codebooks.
#include "ui/CPictoraView.h"

namespace pictora {

void CPictoraView::OnMethodOptions() {
    if (RunInProgress() || !worker_->IsIdle()) {
        dialogs_->ShowMessage(
            QString::fromUtf8("As opções do método só podem ser mudadas com o treinamento parado."),
            UserDialogs::Icon::Information);
        return;
    }
    MethodSettings asked = method_;
    if (!dialogs_->AskMethodSettings(asked) || asked == method_) return;
    SetMethod(asked);
    emit MethodChanged();
}

void CPictoraView::SetMethod(const MethodSettings& method) {
    method_ = method;
    compressor_.SetMethod(method);
}

}  // namespace pictora
