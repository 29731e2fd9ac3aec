#pragma once

#include "vormotor/valuelib/ValueHost.h"

namespace vor::model {

// What stands behind a drive model: the wire to a real drive, or a simulator's fault injector.
// The model hands it every call of its user before the call has any effect, and every write the
// model accepted before the model applies and journals it, so a back end that refuses a write
// (by throwing) leaves the model as it was. The user's own values (no parameter) come here too,
// as does Node.SetDriveEnabled, which has no parameter either.
class DriveBackEnd : public valuelib::ValueHost {};

}  // namespace vor::model

// The names above as hosts know them, in vor.
namespace vor {
using model::DriveBackEnd;
}  // namespace vor
