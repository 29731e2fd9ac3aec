#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "vormotor/script/ScriptLine.h"

namespace vor::script {

// A row of a runner's table of commands: how many arguments the command takes and what runs it.
template <class Runner>
struct ScriptCommand {
    std::size_t minArguments;
    std::size_t maxArguments;
    void (Runner::*run)(const std::vector<Word>&);
};

template <class Runner>
using ScriptCommands = std::map<std::string, ScriptCommand<Runner>, std::less<>>;

// Runs `verb` from `commands` on `runner`; raises for a command the table does not hold (a quoted
// verb is a text, never a command) and for a wrong number of arguments.
template <class Runner>
void RunCommand(Runner& runner, const ScriptCommands<Runner>& commands, const Word& verb,
                const std::vector<Word>& arguments) {
    const auto found = commands.find(verb.text);
    if (verb.quoted || found == commands.end()) {
        throw std::invalid_argument("unknown command '" + verb.text + "'");
    }
    const ScriptCommand<Runner>& command = found->second;
    if (arguments.size() < command.minArguments || arguments.size() > command.maxArguments) {
        throw std::invalid_argument("wrong number of arguments for '" + verb.text + "'");
    }
    (runner.*command.run)(arguments);
}

}  // namespace vor::script
