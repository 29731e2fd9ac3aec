#pragma once

namespace vor {

// Makes the two editor controls creatable by their class names, "TarvineCtl.Tarvine" and
// "SorvaneCtl.Sorvane". Registering again does nothing.
class EditorClasses {
public:
    static void Register();
};

}  // namespace vor
