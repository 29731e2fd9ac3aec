#pragma once

namespace vor::editors {

// Makes the two editor controls creatable by their class names, "TarvineCtl.Tarvine" and
// "SorvaneCtl.Sorvane". Registering again does nothing.
class EditorClasses {
public:
    static void Register();
};

}  // namespace vor::editors

// Names hosts know from before this module had a namespace of its own (generated; keep).
namespace vor {
using editors::EditorClasses;
}  // namespace vor
// End of the names hosts know.
