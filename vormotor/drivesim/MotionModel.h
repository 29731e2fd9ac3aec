#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "vormotor/drivemodel/ModelIo.h"
#include "vormotor/valuelib/BasicValue.h"

namespace vor::sim {

// Turns the simulated motor: each step moves the commutation sensor code one place along the
// motor's six-step Hall sequence and moves the captured vector angle, so that a display sees
// one sensor transition per step.
class MotionModel {
public:
    MotionModel(model::ModelIo& io, std::shared_ptr<valuelib::BasicValue> angle, double angleStep,
                std::vector<std::int32_t> sequence);

    // One step forward (direction > 0) or backward (direction < 0).
    void Step(std::int32_t direction = 1);
    // |steps| steps in the direction of the sign; all of them or, when the drive refuses any, none.
    void Turn(std::int32_t steps);

    // Steps per timer tick while the motor turns on its own (negative: backward; 0: standing).
    void SetSpeed(std::int32_t stepsPerTick) noexcept { m_speed = stepsPerTick; }
    std::int32_t Speed() const noexcept { return m_speed; }
    // Runs one tick's worth of steps.
    void Advance() { Turn(m_speed); }

    const std::vector<std::int32_t>& Sequence() const noexcept { return m_sequence; }

private:
    model::ModelIo& m_io;
    std::shared_ptr<valuelib::BasicValue> m_angle;  // none on a drive without a captured angle
    double m_angleStep;
    std::vector<std::int32_t> m_sequence;
    std::int32_t m_speed = 0;

    // The input word one step in the direction of the sign moves to.
    double NextWord(double word, std::int32_t sign) const;
};

}  // namespace vor::sim

// The names above as hosts know them, in vor.
namespace vor {
using sim::MotionModel;
}  // namespace vor
