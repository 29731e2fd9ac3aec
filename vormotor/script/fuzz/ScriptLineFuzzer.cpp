// libFuzzer target: the script line parser, with every word read in every way a command reads one.
// A bad line or word may only be refused with std::invalid_argument.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "vormotor/script/ScriptLine.h"

namespace {

template <class Read>
void Attempt(Read read) {
    try {
        read();
    } catch (const std::invalid_argument&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vor::script;
    std::vector<Word> words;
    Attempt([&] { words = SplitScriptLine(std::string(reinterpret_cast<const char*>(data), size)); });
    for (const Word& word : words) {
        Attempt([&] { ParseControlRef(word.text); });
        Attempt([&] { ParseInteger(word); });
        Attempt([&] { ParseInt32(word); });
        Attempt([&] { ParseNumber(word); });
        Attempt([&] { ParseBool(word); });
        Attempt([&] { ParseVisibility(word); });
    }
    return 0;
}
