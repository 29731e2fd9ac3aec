#pragma once

#include <cstdint>
#include <string>

namespace vor {

// An entry of a catalogue (motor types, microstep choices) or of a field's value-name table.
class Entry {
public:
    virtual ~Entry() = default;

    virtual std::int32_t Code() = 0;
    virtual std::string Name() = 0;
    // Only visible entries are offered to the user.
    virtual bool Visible() = 0;
    virtual void SetVisible(bool visible) = 0;
};

}  // namespace vor
