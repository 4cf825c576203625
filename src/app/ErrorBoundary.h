#pragma once

#include "app/Platform.h"
#include "base/UserError.h"

// Where a command meets the user: a UserError raised anywhere below becomes one message box
// and ends the command there; what was done before it stays done. False when it was raised.
template <typename Action>
bool reportFailure(Platform& platform, Action&& action) {
    try {
        action();
        return true;
    } catch (const UserError& e) {
        platform.message(e.text());
        return false;
    }
}
