#pragma once

#include <string>

#include "vormotor/toolkit/Control.h"

namespace vor {

// A control that shows a caption (frames and labels).
class CaptionedControl : public Control {
public:
    using Control::Control;

    const std::string& Caption() const noexcept { return m_caption; }
    void SetCaption(std::string caption);

protected:
    const Property* FindProperty(std::string_view name) const override;

private:
    std::string m_caption;
};

}  // namespace vor
