#pragma once

#include <cstdint>
#include <memory>

#include "vormotor/contracts/IoObject.h"
#include "vormotor/core/Event.h"
#include "vormotor/drivemodel/ModelHost.h"
#include "vormotor/valuelib/BasicValue.h"

namespace vor::model {

// The node's digital inputs. The input value follows the drive only once its user has called
// StartUpdates; CommutationChanged follows every change of the sensor code in bits 7 to 9.
class ModelIo final : public IoObject {
public:
    ModelIo(std::shared_ptr<ModelHost> host, double inputWord);

    std::shared_ptr<ValueObject> InputsValue() override;
    EventSource<std::int32_t, std::int32_t>& CommutationChanged() override { return m_commutationChanged; }

    // The drive's side.
    void SetInputWord(double word);
    // A transition event with the given codes, whatever the input word holds (a glitch, a test).
    void RaiseCommutationChanged(std::int32_t thisCode, std::int32_t lastCode) {
        m_commutationChanged.Raise(thisCode, lastCode);
    }
    double InputWord() const noexcept { return m_inputs->DriveNumber(); }
    // Raises what SetInputWord would raise for this word, and changes nothing.
    void CheckInputWord(double word) const { m_inputs->DriveCheckNumber(word); }
    static std::int32_t SensorCode(double word);
    static double WithSensorCode(double word, std::int32_t code);

private:
    std::shared_ptr<ModelHost> m_host;
    std::shared_ptr<valuelib::BasicValue> m_inputs;
    Event<std::int32_t, std::int32_t> m_commutationChanged;
};

}  // namespace vor::model

// The names above as hosts know them, in vor.
namespace vor {
using model::ModelIo;
}  // namespace vor
