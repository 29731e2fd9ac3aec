#include "vormotor/editors/EditorClasses.h"

#include <memory>
#include <utility>

#include "vormotor/editors/SorvaneGroup.h"
#include "vormotor/editors/TarvineEditor.h"
#include "vormotor/toolkit/ControlClasses.h"

namespace vor::editors {
namespace {

template <class T>
void RegisterClass(const std::string& className) {
    if (!ControlClasses::IsRegistered(className)) {
        ControlClasses::Register(className, [](std::string name, std::optional<std::int32_t> index) {
            return std::unique_ptr<Control>(std::make_unique<T>(std::move(name), index));
        });
    }
}

}  // namespace

void EditorClasses::Register() {
    RegisterClass<TarvineEditor>("TarvineCtl.Tarvine");
    RegisterClass<SorvaneGroup>("SorvaneCtl.Sorvane");
}

}  // namespace vor::editors
