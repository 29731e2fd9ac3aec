#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vormotor/drivemodel/DriveModel.h"
#include "vormotor/drivesim/SimDrive.h"
#include "vormotor/script/ScriptAnswers.h"
#include "vormotor/script/ScriptCommand.h"
#include "vormotor/script/ScriptLine.h"

namespace vor::script {

// The drive's side of a script (docs/host.md): drive.* lines change the drive as the drive itself
// would, and "writes" lists what the user wrote to it. The host runs them on the drive it holds,
// vormotor-drive on the drive it serves, with the same answers.
class DriveScript {
public:
    // `simulator` is `drive` when it is simulated (drive.turn, drive.fail and drive.null need it),
    // else null.
    DriveScript(model::DriveModel& drive, sim::SimDrive* simulator, ScriptAnswers& answers);

    // Whether a line that starts with `verb` belongs to the drive's side.
    static bool IsDriveSide(const Word& verb);

    // Raises for a command that is not the drive's, wrong arguments, or a drive that refuses.
    void Run(const Word& verb, const std::vector<Word>& arguments);
    // Runs one line; a failure is answered. Returns whether it succeeded.
    bool RunLine(const std::string& line, std::int32_t lineNumber);

    static constexpr std::int32_t kMaxTurnSteps = 10000;

private:
    using Arguments = std::vector<Word>;
    static const ScriptCommands<DriveScript>& Commands();

    void DriveParam(const Arguments&);
    void DriveField(const Arguments&);
    void DriveEntry(const Arguments&);
    void DriveLock(const Arguments&);
    void DriveOnline(const Arguments&);
    void DriveEnabled(const Arguments&);
    void DriveState(const Arguments&);
    void DriveInput(const Arguments&);
    void DriveCommutation(const Arguments&);
    void DriveCommSelectable(const Arguments&);
    void DriveTraceFlags(const Arguments&);
    void DriveTurn(const Arguments&);
    void DriveCatalogue(const Arguments&);
    void DriveMicrosteps(const Arguments&);
    void DriveMicrostep(const Arguments&);
    void DriveParamLock(const Arguments&);
    void DriveFail(const Arguments&);
    void DriveNull(const Arguments&);
    // drive.fail and drive.null: OP [N] [nth K|always|off].
    void InjectFault(const Arguments& arguments, sim::FaultInjector::Mode faultMode, const std::string& command);
    void Writes(const Arguments&);

    sim::SimDrive& Simulator() const;

    model::DriveModel& m_drive;
    sim::SimDrive* m_simulator;
    ScriptAnswers& m_answers;
};

}  // namespace vor::script
