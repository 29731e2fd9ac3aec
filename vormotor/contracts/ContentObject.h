#pragma once

#include <string>

namespace vor {

// The content (or info) object of a value: its number, its text and its limits.
class ContentObject {
public:
    virtual ~ContentObject() = default;

    virtual double Number() = 0;
    virtual void SetNumber(double number) = 0;
    virtual std::string Text() = 0;
    virtual double LowerLimit() = 0;
    virtual void SetLowerLimit(double limit) = 0;
    virtual double UpperLimit() = 0;
    virtual void SetUpperLimit(double limit) = 0;
    virtual bool SetupFlag() = 0;
    virtual void SetSetupFlag(bool flag) = 0;
};

}  // namespace vor
