// axis-settings STORE AXIS [NAME=VALUE...]: stores the given settings of one axis under
// HKEY_CURRENT_USER\Software\AxisSettings\<AXIS> in the registry file STORE, then prints the axis's key
// tree in the registry editor's text layout.
#include <iostream>
#include <memory>
#include <string>
#include <vormotor/Version.h>
#include <vormotor/core/Error.h>
#include <vormotor/registry/CRegistry.h>
#include <vormotor/regstore/RegStore.h>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: axis-settings STORE AXIS [NAME=VALUE...]   (VorMotorCtl " VOR_VERSION_STRING ")\n";
        return 2;
    }
    try {
        vor::CRegistry registry(std::make_shared<vor::RegStore>(argv[1]));
        std::string key = std::string("Software\\AxisSettings\\") + argv[2];
        registry.OpenKey(vor::reg::CurrentUser, key, true);
        for (int i = 3; i < argc; ++i) {
            const std::string setting = argv[i];
            const auto equals = setting.find('=');
            if (equals == std::string::npos) {
                std::cerr << "axis-settings: not NAME=VALUE: " << setting << '\n';
                return 2;
            }
            registry.WriteValue(setting.substr(0, equals), setting.substr(equals + 1));
        }
        std::cout << registry.SaveRegistry();
        return 0;
    } catch (const vor::Error& error) {
        std::cerr << "axis-settings: " << error.Source() << ": " << error.Description() << '\n';
        return 1;
    }
}
