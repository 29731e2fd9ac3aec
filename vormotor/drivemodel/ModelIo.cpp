#include "vormotor/drivemodel/ModelIo.h"

#include <cmath>
#include <utility>

namespace vor::model {
namespace {

constexpr int kSensorShift = 7;
constexpr std::int64_t kSensorMask = 0x7;

valuelib::BasicValue::Setup InputsSetup(double word) {
    valuelib::BasicValue::Setup setup;
    setup.name = "Digital Inputs";
    setup.number = word;
    setup.lowerLimit = 0;
    setup.upperLimit = 65535;
    setup.followsDrive = false;
    setup.setupA = 1;
    return setup;
}

}  // namespace

ModelIo::ModelIo(std::shared_ptr<ModelHost> host, double inputWord)
    : m_host(host), m_inputs(valuelib::BasicValue::Create(InputsSetup(inputWord), std::move(host))) {}

std::shared_ptr<ValueObject> ModelIo::InputsValue() {
    if (m_host->EnterForObject(valuelib::CallSite{"Io.InputsValue"})) {
        return nullptr;
    }
    return m_inputs;
}

void ModelIo::SetInputWord(double word) {
    const std::int32_t lastCode = SensorCode(m_inputs->DriveNumber());
    m_inputs->DriveSetNumber(word);
    const std::int32_t thisCode = SensorCode(word);
    if (thisCode != lastCode) {
        m_commutationChanged.Raise(thisCode, lastCode);
    }
}

std::int32_t ModelIo::SensorCode(double word) {
    return static_cast<std::int32_t>((static_cast<std::int64_t>(word) >> kSensorShift) & kSensorMask);
}

double ModelIo::WithSensorCode(double word, std::int32_t code) {
    const auto bits = static_cast<std::int64_t>(word) & ~(kSensorMask << kSensorShift);
    return static_cast<double>(bits | ((code & kSensorMask) << kSensorShift));
}

}  // namespace vor::model
