#include "vormotor/valuelib/ValueContent.h"

#include <cmath>

#include "vormotor/core/Error.h"
#include "vormotor/valuelib/BasicValue.h"

namespace vor::valuelib {
namespace {

constexpr std::int32_t kPropertyReadOnly = 383;

constexpr OperationId kOperations[2][9] = {
    {"Content.Number", "Content.SetNumber", "Content.Text", "Content.LowerLimit", "Content.SetLowerLimit",
     "Content.UpperLimit", "Content.SetUpperLimit", "Content.SetupFlag", "Content.SetSetupFlag"},
    {"Info.Number", "Info.SetNumber", "Info.Text", "Info.LowerLimit", "Info.SetLowerLimit", "Info.UpperLimit",
     "Info.SetUpperLimit", "Info.SetupFlag", "Info.SetSetupFlag"},
};

}  // namespace

void ValueContent::Enter(Member member) const {
    m_owner.m_gate.Enter(kOperations[static_cast<int>(m_role)][member]);
    const bool isWrite =
        member == kSetNumber || member == kSetLowerLimit || member == kSetUpperLimit || member == kSetSetupFlag;
    if (isWrite && m_role == Role::Info) {
        throw Error(kPropertyReadOnly, "valuelib", "The info of " + m_owner.Describe() + " is read-only");
    }
}

double ValueContent::Number() {
    Enter(kNumber);
    return m_owner.m_number;
}

void ValueContent::SetNumber(double number) {
    Enter(kSetNumber);
    const auto owner = m_owner.shared_from_this();
    owner->CheckWritable();
    owner->CheckNumber(number);
    owner->m_gate.Written("Content.SetNumber", number);
    owner->Apply(number);
}

std::string ValueContent::Text() {
    Enter(kText);
    return m_owner.FormatText(m_role == Role::Content ? m_owner.m_setup.textFormat : m_owner.m_setup.infoFormat);
}

double ValueContent::LowerLimit() {
    Enter(kLowerLimit);
    return m_owner.m_setup.lowerLimit;
}

void ValueContent::SetLowerLimit(double limit) {
    SetLimit(kSetLowerLimit, m_owner.m_setup.lowerLimit, limit);
}

double ValueContent::UpperLimit() {
    Enter(kUpperLimit);
    return m_owner.m_setup.upperLimit;
}

void ValueContent::SetUpperLimit(double limit) {
    SetLimit(kSetUpperLimit, m_owner.m_setup.upperLimit, limit);
}

void ValueContent::SetLimit(Member member, double& limit, double value) {
    Enter(member);
    if (std::isnan(value)) {
        throw Error(error_number::InvalidPropertyValue, "valuelib", "A limit must be a number");
    }
    limit = value;
}

bool ValueContent::SetupFlag() {
    Enter(kSetupFlag);
    return m_owner.m_setup.writable;
}

void ValueContent::SetSetupFlag(bool flag) {
    Enter(kSetSetupFlag);
    m_owner.m_setup.writable = flag;
}

}  // namespace vor::valuelib
