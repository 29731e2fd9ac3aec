#pragma once

#include "vormotor/valuelib/CallSite.h"

namespace vor::valuelib {

// The drive a value lives in. Values made for the panel's own use have no host; values that
// stand for drive parameters report every call and every accepted write to it, which is how a
// simulated drive injects failures and logs what its caller wrote.
class ValueHost {
public:
    virtual ~ValueHost() = default;

    // Runs before every operation; throwing fails the call before it has any effect.
    virtual void Enter(const CallSite& site) = 0;
    // Runs instead of Enter before an operation that hands out an object: true when the call is
    // to hand out a null object instead.
    virtual bool EnterForObject(const CallSite& site) {
        Enter(site);
        return false;
    }
    // Runs after a write was accepted and before its change events are raised.
    virtual void Written(const CallSite& site, double value) = 0;
};

}  // namespace vor::valuelib

// The names above as hosts know them, in vor.
namespace vor {
using valuelib::ValueHost;
}  // namespace vor
