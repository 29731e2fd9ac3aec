#include "vormotor/ui_util/Layout.h"

#include "vormotor/ui_util/ControlTypes.h"

namespace vor {
namespace {

constexpr float kSingleColumnMargin = 350;
constexpr float kCentringDivisor = 2;

}  // namespace

void CenterFrames(const std::vector<Control*>& controls, const Control& container) {
    float minLeft = container.Width();
    float maxRight = 0;
    bool spread = false;
    for (const Control* control : controls) {
        if (control->Container() != &container || !IsFrameLike(*control)) {
            continue;
        }
        if (minLeft > control->Left()) {
            minLeft = control->Left();
        }
        if (maxRight < control->Left() + control->Width()) {
            maxRight = control->Left() + control->Width();
        }
        // A single column only when every frame seen so far starts at the smallest Left so far.
        spread = spread || control->Left() != minLeft;
    }

    float offset = container.Width() / kCentringDivisor - ((maxRight - minLeft) / kCentringDivisor + minLeft);
    if (!spread) {
        offset = kSingleColumnMargin - minLeft;
    }
    if (offset < 0) {
        offset = 0;
    }

    for (Control* control : controls) {
        if (control->Container() == &container && IsMovableChild(*control)) {
            control->SetLeft(control->Left() + offset);
        }
    }
}

}  // namespace vor
