#include "vormotor/drivesim/MotionModel.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace vor::sim {

MotionModel::MotionModel(model::ModelIo& io, std::shared_ptr<valuelib::BasicValue> angle, double angleStep,
                         std::vector<std::int32_t> sequence)
    : m_io(io), m_angle(std::move(angle)), m_angleStep(angleStep), m_sequence(std::move(sequence)) {}

void MotionModel::Step(std::int32_t direction) {
    if (direction == 0) {
        return;
    }
    const std::int32_t sign = direction > 0 ? 1 : -1;
    // The angle moves first, so a transition's observers already see the angle it captured.
    if (m_angle) {
        m_angle->DriveSetNumber(m_angle->DriveNumber() + sign * m_angleStep);
    }
    m_io.SetInputWord(NextWord(m_io.InputWord(), sign));
}

double MotionModel::NextWord(double word, std::int32_t sign) const {
    const auto size = static_cast<std::int32_t>(m_sequence.size());
    const auto found = std::find(m_sequence.begin(), m_sequence.end(), model::ModelIo::SensorCode(word));
    // A code outside the sequence (0 or 7: a sensor fault) is left at the sequence's start or end.
    std::int32_t next = sign > 0 ? 0 : size - 1;
    if (found != m_sequence.end()) {
        next = (static_cast<std::int32_t>(found - m_sequence.begin()) + sign + size) % size;
    }
    return model::ModelIo::WithSensorCode(word, m_sequence[static_cast<std::size_t>(next)]);
}

void MotionModel::Turn(std::int32_t steps) {
    // Counted in 64 bits: the magnitude of the most negative 32-bit number does not fit 32 bits.
    const std::int64_t count = std::abs(std::int64_t{steps});
    // Every angle and input word the turn passes is checked before the first step, worked out as
    // the steps work it out, so a turn the drive refuses part way moves nothing at all.
    const std::int32_t sign = steps > 0 ? 1 : -1;
    double angle = m_angle ? m_angle->DriveNumber() : 0.0;
    double word = m_io.InputWord();
    for (std::int64_t i = 0; i < count; ++i) {
        if (m_angle) {
            angle = angle + sign * m_angleStep;
            m_angle->DriveCheckNumber(angle);
        }
        word = NextWord(word, sign);
        m_io.CheckInputWord(word);
    }
    for (std::int64_t i = 0; i < count; ++i) {
        Step(steps);
    }
}

}  // namespace vor::sim
