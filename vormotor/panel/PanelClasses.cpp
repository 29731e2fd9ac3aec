#include "vormotor/panel/PanelClasses.h"

#include "vormotor/core/Error.h"
#include "vormotor/panel/MotorForm.h"

namespace vor {

std::shared_ptr<UIuserControl> CreatePanel(const std::string& className) {
    if (className == kMotorFormClass) {
        return MotorForm::Create();
    }
    throw Error(error_number::CannotCreateObject, "VorMotorCtl", "Can't create object: " + className);
}

}  // namespace vor
