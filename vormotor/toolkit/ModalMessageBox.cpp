#include "vormotor/toolkit/ModalMessageBox.h"

#include <utility>

namespace vor {
namespace {

ModalMessageBox::Responder& CurrentResponder() {
    static ModalMessageBox::Responder responder;
    return responder;
}

}  // namespace

ModalMessageBox::Responder ModalMessageBox::SetResponder(Responder responder) {
    return std::exchange(CurrentResponder(), std::move(responder));
}

MessageBoxResult ModalMessageBox::Show(const MessageBoxRequest& request) {
    // A copy: the responder may replace itself while the box is open.
    const Responder responder = CurrentResponder();
    return responder ? responder(request) : MessageBoxResult::Cancel;
}

MessageBoxResult ModalMessageBox::Show(const MessageBoxRequest& request, const Responder& own) {
    if (!own) {
        return Show(request);
    }
    // A copy, as above: the panel may be given another responder while the box is open.
    const Responder responder = own;
    return responder(request);
}

}  // namespace vor
