#include "vormotor/resources/ComponentResources.h"

#include "vormotor/Version.h"
#include "vormotor/resources/EnableReasonStrings.h"

namespace vor {
namespace {

StringTable WithEnableReasons(StringTable table) {
    enable_reason_strings::AddEnableReasonStrings(table);
    return table;
}

}  // namespace

const StringTable& ComponentStrings() {
    static const StringTable strings = WithEnableReasons({
        {2216, "Max. Continuous (RMS) Current"},
        {4073, "Safety Warning"},
        {4082,
         "The drive is enabled! If this drive is holding a load, it may drop causing damage to the machine or "
         "personnel.\n\nHit OK to proceed, the drive will temporarily be disabled during the configuration change."},
        {4192, "N/A"},
        {6121, "Winding Specifications"},
        {6122, "Vector @*@ Loop Tuning"},
        {6125, "Vector Initialization"},
        {6128, "Stepper Specifications"},
        {6134, "  Motor Settings"},
        {6136, "Encoder Specifications"},
        {6137, "Current State:"},
        {6250, "Angle:"},
        {6251, "T-R (T):\nR-S (S):\nS-T (R):"},
        {6252, "N/A"},
        {6253, "N/A"},
    });
    return strings;
}

ModuleVersion ComponentVersion() {
    return ModuleVersion{VOR_VERSION_MAJOR, VOR_VERSION_MINOR, VOR_VERSION_PATCH};
}

}  // namespace vor
