#include "apps/demo/DemoOptions.h"

#include <charconv>
#include <stdexcept>

namespace vor::demo {
namespace {

std::int32_t ParseInt(const std::string& option, const std::string& text) {
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        throw std::invalid_argument(option + " expects a whole number, not '" + text + "'");
    }
    return value;
}

}  // namespace

DemoOptions DemoOptions::Parse(const std::vector<std::string>& arguments) {
    DemoOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option == "--help" || option == "-h") {
            options.help = true;
            continue;
        }
        if (option == "--freeze") {
            options.freeze = true;
            continue;
        }
        if (i + 1 >= arguments.size()) {
            throw std::invalid_argument("unknown option or missing value: '" + option + "'");
        }
        const std::string& value = arguments[++i];
        if (option == "--profile") {
            options.profile = value;
        } else if (option == "--connect") {
            options.connect = value;
        } else if (option == "--screenshot") {
            options.screenshot = value;
        } else if (option == "--actions") {
            options.actions = value;
        } else if (option == "--speed") {
            options.speed = ParseInt(option, value);
        } else if (option == "--access-level") {
            options.accessLevel = ParseInt(option, value);
        } else if (option == "--tip") {
            options.tip = value;
        } else if (option == "--ticks") {
            options.ticks = ParseInt(option, value);
            if (options.ticks < 0) {
                throw std::invalid_argument("--ticks cannot be negative");
            }
        } else {
            throw std::invalid_argument("unknown option '" + option + "'");
        }
    }
    return options;
}

}  // namespace vor::demo
