#pragma once

#include "app/Platform.h"
#include "base/UserError.h"

#include <utility>

// Where a command meets the user: a UserError raised anywhere below becomes one message box
// and ends the command there; what was done before it stays done. False when it was raised.
// beforeMessage runs when it was raised, before the message box: a window that must put itself
// right (clear what it shows, ignore the activation the box's closing brings) does it there.
template <typename Action, typename BeforeMessage>
bool reportFailure(Platform& platform, Action&& action, BeforeMessage&& beforeMessage) {
    try {
        action();
        return true;
    } catch (const UserError& e) {
        beforeMessage();
        platform.message(e.text());
        return false;
    }
}

template <typename Action>
bool reportFailure(Platform& platform, Action&& action) {
    return reportFailure(platform, std::forward<Action>(action), [] {});
}
