#pragma once

#include <string>
#include <string_view>

#include "vormotor/contracts/ContentObject.h"

namespace vor::valuelib {

class BasicValue;

// The content and the info object of a value: two views of the same number that differ in
// their text. The info view is read-only.
class ValueContent final : public ContentObject {
public:
    enum class Role { Content, Info };

    ValueContent(BasicValue& owner, Role role) : m_owner(owner), m_role(role) {}

    double Number() override;
    void SetNumber(double number) override;
    std::string Text() override;
    double LowerLimit() override;
    void SetLowerLimit(double limit) override;
    double UpperLimit() override;
    void SetUpperLimit(double limit) override;
    bool SetupFlag() override;
    void SetSetupFlag(bool flag) override;

private:
    enum Member {
        kNumber,
        kSetNumber,
        kText,
        kLowerLimit,
        kSetLowerLimit,
        kUpperLimit,
        kSetUpperLimit,
        kSetupFlag,
        kSetSetupFlag
    };

    // Passes the gate under this view's name; a write to the info view is refused.
    void Enter(Member member) const;
    void SetLimit(Member member, double& limit, double value);

    BasicValue& m_owner;
    Role m_role;
};

}  // namespace vor::valuelib

// The names above as hosts know them, in vor.
namespace vor {
using valuelib::ValueContent;
}  // namespace vor
