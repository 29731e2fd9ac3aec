#pragma once

namespace vor::editors {

// Makes the two editor controls creatable by their class names, "TarvineCtl.Tarvine" and
// "SorvaneCtl.Sorvane". Registering again does nothing.
class EditorClasses {
public:
    static void Register();
};

}  // namespace vor::editors

// The names above as hosts know them, in vor.
namespace vor {
using editors::EditorClasses;
}  // namespace vor
