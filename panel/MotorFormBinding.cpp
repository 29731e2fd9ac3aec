// Attach-time binding of the panel to a drive node.
#include "core/FailureStyles.h"
#include "panel/MotorForm.h"
#include "toolkit/Label.h"

namespace vor {

void MotorForm::BindNode(const Ref<DriveNode>& node) {
    bool bound = StopOnFailure([&] {
        m_qsAppEvts = m_net->AppEvents();
        m_qsDrvEvts = m_net->DriveEvents();
        m_commCodeChanged = false;
        m_form.FindAs<Label>("transLbl").SetCaption("?->?");
        if (!node) {
            return;
        }
        m_node = node;
        if (m_node->ParamTable().Count() == 0) {
            return;
        }
    });
    if (!bound) {
        m_updating = false;
    }
}

}  // namespace vor
