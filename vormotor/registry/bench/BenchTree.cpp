#include "vormotor/registry/bench/BenchTree.h"

namespace vor::registry_bench {

std::string TreeImage(const std::string& root, int keys) {
    constexpr int GroupSize = 100;
    constexpr int ValuesPerKey = 10;
    std::string image = "Windows Registry Editor Version 5.00\r\n";
    const std::string section = "\r\n[HKEY_CURRENT_USER\\" + root;
    image += section + "]\r\n";
    for (int key = 0; key < keys; ++key) {
        const std::string group = "\\Group " + std::to_string(key / GroupSize);
        if (key % GroupSize == 0) {
            image += section + group + "]\r\n";
        }
        image += section + group + "\\Axis " + std::to_string(key) + "]\r\n";
        for (int value = 0; value < ValuesPerKey; ++value) {
            image += "\"Parameter " + std::to_string(value) + "\"=\"";
            image += value == 0 ? "C:\\\\Drives\\\\Axis" : "value of parameter " + std::to_string(value * key);
            image += "\"\r\n";
        }
    }
    return image;
}

}  // namespace vor::registry_bench
