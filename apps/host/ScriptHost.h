#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <istream>
#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "vormotor/drivemodel/DriveModel.h"
#include "vormotor/drivesim/SimDrive.h"
#include "vormotor/panel/MotorForm.h"
#include "vormotor/script/DriveScript.h"
#include "vormotor/script/ScriptAnswers.h"
#include "vormotor/script/ScriptCommand.h"
#include "vormotor/script/ScriptLine.h"
#include "vormotor/toolkit/ModalMessageBox.h"

namespace vor::host {

// A headless host: one drive, one panel, and a script of commands (docs/host.md). Answers are
// JSON objects, one a line; a failing command prints {"error":"line N: ..."}. Like every host of
// the panel, it registers the editor classes. The drive's side of a script (DriveScript) runs on
// the drive the host holds, or goes to the drive elsewhere.
class ScriptHost {
public:
    // A simulated drive: the script turns its motor and makes its calls fail.
    ScriptHost(std::unique_ptr<sim::SimDrive> drive, std::ostream& out);
    // A drive elsewhere, whose model follows it (SetRemoteDrive takes the script's drive side).
    ScriptHost(std::unique_ptr<model::DriveModel> drive, std::ostream& out);
    ~ScriptHost();
    ScriptHost(const ScriptHost&) = delete;
    ScriptHost& operator=(const ScriptHost&) = delete;

    // Runs every line; with `strict` the first failing command ends the run. Returns whether
    // every command succeeded.
    bool Run(std::istream& script, bool strict);
    // Runs one line; returns whether it succeeded.
    bool RunLine(const std::string& line, std::int32_t lineNumber);

    // Bounds that keep every command short (docs/host.md).
    static constexpr std::int64_t kMaxTicks = 10000;
    static constexpr std::int32_t kMaxSurfaceTwips = 1000000;

    // For a drive elsewhere: its side of a script (drive.* and writes) goes to `remote`, which
    // prints the answers and returns whether the line succeeded.
    using RemoteDrive = std::function<bool(const std::string& line, std::int32_t lineNumber)>;
    void SetRemoteDrive(RemoteDrive remote) { m_remote = std::move(remote); }

private:
    using Word = script::Word;
    using Arguments = std::vector<script::Word>;
    static const script::ScriptCommands<ScriptHost>& Commands();

    ScriptHost(std::unique_ptr<model::DriveModel> drive, bool simulated, std::ostream& out);

    // Panel lifecycle and the host's side of it.
    void Create(const Arguments&);
    void Destroy(const Arguments&);
    void Attach(const Arguments&);
    void Release(const Arguments&);
    void Show(const Arguments&);
    void Hide(const Arguments&);
    void Resize(const Arguments&);
    void Enabled(const Arguments&);
    void Tick(const Arguments&);
    void PageEnable(const Arguments&);
    void TechSupport(const Arguments&);

    // The user.
    void Pick(const Arguments&);
    void Radio(const Arguments&);
    void Edit(const Arguments&);
    void Answer(const Arguments&);

    // Answers.
    void Dump(const Arguments&);
    void Props(const Arguments&);
    void Trace(const Arguments&);
    void Messages(const Arguments&);
    void Cursor(const Arguments&);
    void State(const Arguments&);
    void Why(const Arguments&);

    MotorForm& Panel() const;
    Control& Named(const script::ControlRef& ref) const;
    // A control the user can reach: on a shown panel, visible and operable through its containers.
    Control& UserReachable(const script::ControlRef& ref) const;
    void Print(const nlohmann::ordered_json& json) { m_output.Print(json); }

    std::unique_ptr<model::DriveModel> m_drive;
    script::ScriptAnswers m_output;
    script::DriveScript m_driveSide;
    RemoteDrive m_remote;
    std::shared_ptr<MotorForm> m_panel;

    std::deque<MessageBoxResult> m_answers;
    nlohmann::ordered_json m_messages = nlohmann::ordered_json::array();
    ModalMessageBox::Responder m_previousResponder;
};

}  // namespace vor::host
