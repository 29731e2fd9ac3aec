#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

namespace vor::demo {

// User input for the window, as a line of steps separated by commas: "click:NAME" clicks the
// widget with that accessible name, "key:NAME:KEY" presses KEY (Up, Down, Left, Right, Return,
// Space, Tab) on it. The steps go into Qt's event queue one after the other, so the window meets
// them as it meets the user's input: through its event loop, one at a time.
class InputScript {
public:
    struct Step {
        bool click;
        QString target;
        int key;  // for a key step
    };

    // Throws std::invalid_argument for a step it cannot read.
    static InputScript Parse(const std::string& text);

    // Posts the steps into `window` and calls `done` once the last one was handled; `done` gets
    // the first problem (a target that is not there, or not shown and enabled), or an empty text.
    void Play(QWidget& window, std::function<void(const QString& problem)> done) const;

    const std::vector<Step>& Steps() const noexcept { return m_steps; }

private:
    std::vector<Step> m_steps;
};

}  // namespace vor::demo
